// A BorgBackup repository as the main window's target and source: the target
// choice, a real local repository made, backed up into, listed and opened.
#include "MainWindowFixture.h"

#include "core/PasswordPrompt.h"
#include "gui/BackupVersionsList.h"
#include "gui/RestoreTab.h"
#include "platform/ScopedEnv.h"
#include "platform/WorkFolder.h"
#include "repository/Repository.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <future>
#include <stdexcept>
#include <thread>
#include <utility>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

constexpr const char* kPassphrase = "correct horse battery";

// Answers every passphrase prompt with the one given.
struct FixedPassphrase : PasswordPrompt {
    std::string passphrase;
    int asked = 0;
    explicit FixedPassphrase(std::string p) : passphrase(std::move(p)) {}
    std::optional<std::string> AskPassword() override {
        ++asked;
        return passphrase;
    }
};

// Stands in for borg's listing: off the window's thread it waits at a gate
// the test opens (or its end opens), so that the test sees the window while
// the listing works; on the window's thread it answers at once.
struct GatedLister {
    Result<std::vector<RepositoryVersion>> answer;
    std::promise<void> gate;
    std::shared_future<void> opened = gate.get_future().share();
    bool isOpen = false;
    std::atomic<bool> onWindowThread{false};

    ~GatedLister() { open(); }
    void open() {
        if (!std::exchange(isOpen, true))
            gate.set_value();
    }
    VersionLister lister() {
        return [this, windowThread = std::this_thread::get_id()](const RepositoryAddress&,
                                                                 const std::string&) {
            if (std::this_thread::get_id() == windowThread)
                onWindowThread = true;
            else
                opened.wait();
            return answer;
        };
    }
};

// borg keeps its keys, cache and security records under BORG_BASE_DIR: a
// folder of the test's, so that nothing of the tester's is read or written.
class RepositoryWindowTest : public MainWindowTest {
protected:
    WorkFolder scratch;
    ScopedEnv borgBase{"BORG_BASE_DIR", (scratch.path() / "borg-base").string()};
    fs::path repository = scratch.path() / "repository";

    // The restore tab, where "Open Repository..." is answered with the test's repository.
    void toRestoreTabAnsweringWithTheRepository() {
        window->askRepositoryAddress = [this](const QString&) {
            return std::optional<QString>(QString::fromStdString(repository.string()));
        };
        child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    }

    // A repository made with borg itself, holding one version whose comment
    // names its profile and items as this program's versions do.
    void makeRepositoryWithOneVersion() {
        ASSERT_EQ(borg("init --encryption=repokey-blake2 '" + repository.string() + "'"), 0);
        addVersion("PC-wine-Outlook-2026-12-01T21:30:00", "");
    }

    // A version of the program's kind; extra runs in its content folder
    // first (a shell command).
    void addVersion(const std::string& name, const std::string& extra) {
        const fs::path content = scratch.path() / ("content-" + name);
        fs::create_directories(content);
        std::ofstream(content / "vastrel.dat") << "BackupItem=1000000100\r\n";
        const std::string comment = "computer=PC\nprefix=wine\nprofile=Outlook\nitems=10000001\n";
        ASSERT_EQ(std::system(("cd '" + content.string() + "' && " + extra + " true").c_str()), 0);
        ASSERT_EQ(borg("create --compression none --comment '" + comment + "' '" +
                           repository.string() + "::" + name + "' .",
                       content),
                  0);
    }

    static std::size_t folderCount(const fs::path& folder) {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
    }

    int borg(const std::string& arguments, const fs::path& folder = fs::current_path()) {
        return std::system(("cd '" + folder.string() + "' && BORG_PASSPHRASE='" + kPassphrase +
                            "' borg " + arguments + " >/dev/null 2>&1")
                               .c_str());
    }
};

} // namespace

// The target choice shows the file's boxes or the repository's, the folder
// is chosen with its own dialog, and the passphrase boxes are open for a
// repository whatever the file's protection was.
TEST_F(RepositoryWindowTest, TheTargetChoiceSwitchesTheBoxes) {
    open();
    auto* toRepository = child<QRadioButton>("optTargetRepository");
    auto* toFile = child<QRadioButton>("optTargetFile");
    EXPECT_TRUE(toFile->isChecked());
    EXPECT_TRUE(child<QLineEdit>("txtTargetFile")->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QLineEdit>("txtTargetRepository")->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QLineEdit>("txtPassword")->isEnabled());

    toRepository->click();
    EXPECT_FALSE(child<QLineEdit>("txtTargetFile")->isVisibleTo(window.get()));
    EXPECT_TRUE(child<QLineEdit>("txtTargetRepository")->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QCheckBox>("ifprotect")->isVisibleTo(window.get()));
    EXPECT_TRUE(child<QLineEdit>("txtPassword")->isEnabled());
    EXPECT_TRUE(child<QLineEdit>("txtPassword2")->isEnabled());
    EXPECT_TRUE(mnemonicProblems(window.get()).isEmpty())
        << mnemonicProblems(window.get()).join(QLatin1Char('\n')).toStdString();

    nextFile = QString::fromStdString(repository.string());
    child<QPushButton>("cmdTargetRepository")->click();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].folder);
    EXPECT_EQ(child<QLineEdit>("txtTargetRepository")->text(), nextFile);
    // A cancelled folder dialog keeps the address.
    nextFile.clear();
    child<QPushButton>("cmdTargetRepository")->click();
    EXPECT_EQ(child<QLineEdit>("txtTargetRepository")->text().toStdString(), repository.string());

    toFile->click();
    EXPECT_TRUE(child<QLineEdit>("txtTargetFile")->isVisibleTo(window.get()));
    EXPECT_TRUE(child<QCheckBox>("ifprotect")->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QCheckBox>("ifprotect")->isChecked());
    EXPECT_FALSE(child<QLineEdit>("txtPassword")->isEnabled());
}

// An address that is no repository address, and passphrases that differ,
// are refused before borg is started.
TEST_F(RepositoryWindowTest, AnUnusableAddressOrPassphraseIsRefusedBeforeAnything) {
    open();
    child<QAction>("Selectallitems")->trigger();
    child<QRadioButton>("optTargetRepository")->click();
    typeText(child<QLineEdit>("txtTargetRepository"), QStringLiteral("backup:relative/path"));
    child<QPushButton>("cmdApply")->click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("backup:relative/path"), std::string::npos);
    EXPECT_FALSE(window->Busy());

    child<QLineEdit>("txtTargetRepository")->setText(QString::fromStdString(repository.string()));
    typeText(child<QLineEdit>("txtPassword"), QStringLiteral("one"));
    typeText(child<QLineEdit>("txtPassword2"), QStringLiteral("two"));
    child<QPushButton>("cmdApply")->click();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_NE(prompter.messages[1].text.find("passphrase"), std::string::npos);
    EXPECT_FALSE(window->Busy());
    EXPECT_FALSE(fs::exists(repository));
}

// A folder without a repository is offered one; made, it is backed up into
// at once, and "Open Repository..." lists the version with its profile.
TEST_F(RepositoryWindowTest, ANewRepositoryIsMadeBackedUpIntoAndListed) {
    FixedPassphrase passwords(kPassphrase);
    open(&passwords);
    child<QAction>("Selectallitems")->trigger();
    child<QRadioButton>("optTargetRepository")->click();
    child<QLineEdit>("txtTargetRepository")->setText(QString::fromStdString(repository.string()));
    typeText(child<QLineEdit>("txtPassword"), QString::fromLatin1(kPassphrase));
    typeText(child<QLineEdit>("txtPassword2"), QString::fromLatin1(kPassphrase));
    // "Make Repository": yes; the key export: not now.
    prompter.answerFor = [](const RecordingPrompter::Message& m) {
        return m.text.find("Export the key now?") != std::string::npos ? MessageAnswer::Cancel
                                                                       : MessageAnswer::Ok;
    };
    child<QPushButton>("cmdApply")->click();
    // The existence check, the making, then the backup: three runs in a row.
    for (int run = 0; run < 3; ++run)
        finishRun();
    const auto texts = messageTexts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_NE(texts[0].find("holds no repository"), std::string::npos) << texts[0];
    EXPECT_NE(texts[1].find("Its passphrase alone opens it"), std::string::npos) << texts[1];

    const auto versions = ListVersions({repository.string()}, kPassphrase);
    ASSERT_TRUE(versions) << versions.error().message;
    ASSERT_EQ(versions->size(), 1u);
    EXPECT_EQ((*versions)[0].profile, "Outlook");

    toRestoreTabAnsweringWithTheRepository();
    child<QPushButton>("cmdSourceRepository")->click();
    finishRun();
    auto* listed = child<QTreeWidget>("lstRepositoryVersions");
    ASSERT_TRUE(listed->isVisibleTo(window.get()));
    ASSERT_EQ(listed->topLevelItemCount(), 1);
    EXPECT_EQ(listed->topLevelItem(0)->text(1), QStringLiteral("Outlook"));
    EXPECT_EQ(listed->topLevelItem(0)->text(4), QString::fromStdString((*versions)[0].name));

    // The version chosen is read as a backup file is: its items can be restored.
    listed->setCurrentItem(listed->topLevelItem(0));
    QCoreApplication::processEvents(); // the choice is handled queued
    EXPECT_TRUE(window->Busy());       // borg reads the version out
    finishRun();
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text().toStdString(),
              repository.string() + "::" + (*versions)[0].name);
    EXPECT_TRUE(window->inspected().accepted);
    EXPECT_TRUE(itemBoxes(window.get(), "restoreitem")[ItemPersonalFolders]->isEnabled());
    EXPECT_NE(child<QPlainTextEdit>("txtPOBinfo")->toPlainText().indexOf(QStringLiteral("Outlook")),
              -1);
}

// A repository borg made holds a version of another run: it is listed with
// the profile, items and size its comment and borg tell, and a wrong
// passphrase lists nothing and keeps what was open.
TEST_F(RepositoryWindowTest, OpeningARepositoryListsItsVersions) {
    makeRepositoryWithOneVersion();
    FixedPassphrase passwords("not the passphrase");
    open(&passwords);
    toRestoreTabAnsweringWithTheRepository();
    auto* listed = child<QTreeWidget>("lstRepositoryVersions");
    child<QPushButton>("cmdSourceRepository")->click();
    finishRun();
    EXPECT_EQ(passwords.asked, 1);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(listed->topLevelItemCount(), 0);
    EXPECT_TRUE(child<QLineEdit>("txtSourceFile")->text().isEmpty());

    passwords.passphrase = kPassphrase;
    child<QPushButton>("cmdSourceRepository")->click();
    finishRun();
    ASSERT_EQ(prompter.messages.size(), 1u) << prompter.messages.back().text;
    ASSERT_TRUE(listed->isVisibleTo(window.get()));
    ASSERT_EQ(listed->topLevelItemCount(), 1);
    const QTreeWidgetItem* row = listed->topLevelItem(0);
    EXPECT_EQ(row->text(1), QStringLiteral("Outlook"));
    EXPECT_EQ(row->text(2), QStringLiteral("2 of 8"));
    EXPECT_FALSE(row->text(3).isEmpty());
    EXPECT_EQ(row->text(4), QStringLiteral("PC-wine-Outlook-2026-12-01T21:30:00"));
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text().toStdString(), repository.string());
}

// The listing works on a pool thread: the window stays responsive and says
// what it waits for, what would start another repository job is disabled
// (and refused when called all the same), and the versions arrive in a list
// whose columns all fit in sight.
TEST_F(RepositoryWindowTest, TheListingWorksOffTheWindowThread) {
    FixedPassphrase passwords(kPassphrase);
    open(&passwords);
    GatedLister borg;
    const std::string name =
        "A-VERY-LONG-COMPUTER-NAME-wine-Outlook%20Business-2026-12-01T21:30:00";
    RepositoryVersion version;
    version.name = name;
    version.profile = "Outlook";
    version.items = "10000001";
    borg.answer = std::vector<RepositoryVersion>{version};
    window->listRepositoryVersions = borg.lister();
    int asked = 0;
    window->askRepositoryAddress = [&](const QString&) {
        ++asked;
        return std::optional<QString>(QString::fromStdString(repository.string()));
    };
    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    child<QPushButton>("cmdSourceRepository")->click();

    EXPECT_FALSE(borg.onWindowThread);
    ASSERT_TRUE(window->Busy());
    EXPECT_TRUE(child<QWidget>("picCon3")->isVisibleTo(window.get()));
    EXPECT_NE(child<QLabel>("Label1")->text().indexOf(QStringLiteral("versions")), -1);
    EXPECT_EQ(child<QLabel>("SkinLabel9")->text().toStdString(), repository.string());
    EXPECT_FALSE(child<QPushButton>("cmdCancel")->isEnabled()); // borg's listing cannot be stopped
    for (const char* held : {"cmdSourceRepository", "cmdSourceFile", "cmdApply"})
        EXPECT_FALSE(child<QWidget>(held)->isEnabled()) << held;
    bool handled = false;
    QMetaObject::invokeMethod(
        window.get(), [&] { handled = true; }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    EXPECT_TRUE(handled);
    window->findChild<RestoreTab*>()->OpenRepository();
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("working on a repository. Please wait"),
              std::string::npos)
        << prompter.messages[0].text;

    borg.open();
    finishRun();
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_FALSE(child<QWidget>("picCon3")->isVisibleTo(window.get()));
    EXPECT_TRUE(child<QPushButton>("cmdSourceRepository")->isEnabled());
    auto* listed = child<QTreeWidget>("lstRepositoryVersions");
    ASSERT_EQ(listed->topLevelItemCount(), 1);
    EXPECT_EQ(listed->topLevelItem(0)->text(4).toStdString(), name);
    EXPECT_EQ(listed->topLevelItem(0)->toolTip(4).toStdString(), name);
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text().toStdString(), repository.string());
    EXPECT_EQ(listed->horizontalScrollBar()->maximum(), 0);
    for (int column = 0; column < listed->columnCount(); ++column)
        EXPECT_LE(listed->header()->sectionViewportPosition(column) +
                      listed->header()->sectionSize(column),
                  listed->viewport()->width())
            << listed->headerItem()->text(column).toStdString();
}

// A listing that fails, or throws, ends in the message that says why, and
// what was open stays; closing the window while one works waits for it.
TEST_F(RepositoryWindowTest, AFailedListingArrivesAsTheMessage) {
    FixedPassphrase passwords(kPassphrase);
    open(&passwords);
    toRestoreTabAnsweringWithTheRepository();
    window->listRepositoryVersions = [](const RepositoryAddress&, const std::string&) {
        return Result<std::vector<RepositoryVersion>>(Fail("Connection closed by remote host"));
    };
    child<QPushButton>("cmdSourceRepository")->click();
    finishRun();
    window->listRepositoryVersions =
        [](const RepositoryAddress&, const std::string&) -> Result<std::vector<RepositoryVersion>> {
        throw std::runtime_error("borg could not be started");
    };
    child<QPushButton>("cmdSourceRepository")->click();
    finishRun();
    const auto texts = messageTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[0].find("Connection closed by remote host"), std::string::npos) << texts[0];
    EXPECT_NE(texts[1].find("borg could not be started"), std::string::npos) << texts[1];
    EXPECT_EQ(prompter.messages[1].icon, MessageIcon::Critical);
    EXPECT_TRUE(child<QLineEdit>("txtSourceFile")->text().isEmpty());
    EXPECT_EQ(child<QTreeWidget>("lstRepositoryVersions")->topLevelItemCount(), 0);

    GatedLister borg;
    borg.answer = std::vector<RepositoryVersion>{};
    window->listRepositoryVersions = borg.lister();
    child<QPushButton>("cmdSourceRepository")->click();
    ASSERT_TRUE(window->Busy());
    window->close(); // "cancel and quit?": yes
    EXPECT_TRUE(window->isVisible());
    borg.open();
    finishRun();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
}

// Reading a big version out shows borg's percent on a measured bar, and its
// Cancel stops it: no message, the version open before stays open and
// chosen, and the read-out's work folder is gone.
TEST_F(RepositoryWindowTest, AReadOutShowsItsPercentAndCancelKeepsWhatWasOpen) {
    makeRepositoryWithOneVersion();
    const std::string small = "PC-wine-Outlook-2026-12-01T21:30:00";
    const std::string big = "PC-wine-Outlook-2026-12-02T21:30:00";
    addVersion(big, "head -c 300M /dev/urandom > Outlook.pst &&");
    const fs::path temporary = scratch.path() / "tmp";
    fs::create_directories(temporary);
    const ScopedEnv workFolders{"TMPDIR", temporary.string()};
    FixedPassphrase passwords(kPassphrase);
    open(&passwords);
    toRestoreTabAnsweringWithTheRepository();
    child<QPushButton>("cmdSourceRepository")->click();
    finishRun();
    auto* listed = child<QTreeWidget>("lstRepositoryVersions");
    const auto row = [&](const std::string& name) {
        const auto found = listed->findItems(QString::fromStdString(name), Qt::MatchExactly, 4);
        return found.isEmpty() ? nullptr : found.front();
    };
    ASSERT_NE(row(small), nullptr);
    ASSERT_NE(row(big), nullptr);
    listed->setCurrentItem(row(small));
    QCoreApplication::processEvents(); // the choice is handled queued
    finishRun();
    ASSERT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
    const QString opened = child<QLineEdit>("txtSourceFile")->text();
    ASSERT_EQ(opened.toStdString(), repository.string() + "::" + small);
    const std::size_t foldersBefore = folderCount(temporary);

    listed->setCurrentItem(row(big));
    QCoreApplication::processEvents(); // the choice is handled queued
    ASSERT_TRUE(window->Busy());
    auto* bar = child<QProgressBar>("pbshow");
    EXPECT_EQ(bar->maximum(), 100); // measured, not a moving bar without a measure
    EXPECT_TRUE(child<QPushButton>("cmdCancel")->isEnabled());
    while (window->Busy() && bar->value() == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ASSERT_TRUE(window->Busy()) << "the read-out ended before borg told a percent";
    EXPECT_GT(bar->value(), 0);
    EXPECT_TRUE(child<QLabel>("SkinLabel10")->text().endsWith(QLatin1Char('%')));
    child<QPushButton>("cmdCancel")->click();
    finishRun();

    EXPECT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text(), opened);
    EXPECT_EQ(window->findChild<RestoreTab*>()->repositoryVersion(), small);
    ASSERT_NE(listed->currentItem(), nullptr);
    EXPECT_EQ(listed->currentItem()->text(4).toStdString(), small);
    EXPECT_EQ(folderCount(temporary), foldersBefore);
}
