// Versions from the main window: its backup keeps them as the unattended run
// does, the restore tab lists them by date, the choice is remembered.
#include "MainWindowFixture.h"

#include "CronShell.h"

#include "core/PasswordPrompt.h"
#include "gui/WindowMemory.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <fstream>
#include <set>

using namespace trelmig;
namespace fs = std::filesystem;

class VersionsWindowTest : public MainWindowTest {
protected:
    fs::path folder = prefix.work.path() / "backups";
    std::string chosen = (folder / "outlook.kvx").string();
    QString settings = QString::fromStdString((prefix.work.path() / "settings.conf").string());

    void SetUp() override {
        MainWindowTest::SetUp();
        fs::create_directories(folder);
    }
    void keepVersions(int last, int daily, int weekly, int monthly) {
        child<QCheckBox>("chkKeepVersions")->setChecked(true);
        const char* names[] = {"spnKeepLast", "spnKeepDaily", "spnKeepWeekly", "spnKeepMonthly"};
        const int counts[] = {last, daily, weekly, monthly};
        for (int i = 0; i < 4; ++i)
            child<QSpinBox>(names[i])->setValue(counts[i]);
    }
    void backUpTemplates() {
        nextFile = QString::fromStdString(chosen);
        child<QPushButton>("cmdTargetFile")->click();
        itemBoxes(window.get(), "backupitem")[ItemTemplates]->setChecked(true);
        prompter.answer = MessageAnswer::Cancel; // no disc
        child<QPushButton>("cmdApply")->click();
        finishRun();
    }
};

TEST_F(VersionsWindowTest, TheWindowsBackupWritesAVersionAndPrunesOnlyAfterIt) {
    open();
    window->Remember(std::make_unique<WindowMemory>(settings, prefix.root));
    // Off by default: one file, replaced.
    EXPECT_FALSE(child<QCheckBox>("chkKeepVersions")->isChecked());
    EXPECT_FALSE(child<QSpinBox>("spnKeepDaily")->isEnabled());
    EXPECT_EQ(child<QSpinBox>("spnKeepMonthly")->value(), 6);
    for (const char* name : {"outlook-2020-01-01-000000.kvx", "outlook-2020-01-02-000000.kvx",
                             "outlook-2020-01-02-000000.partial.kvx"})
        std::ofstream(folder / name) << "an older version";
    keepVersions(2, 0, 0, 0);
    backUpTemplates();

    // The new version and the newest older one stay; a partial one older
    // than a complete version goes; the chosen name itself was never written.
    std::set<std::string> files = NamesIn(folder);
    ASSERT_EQ(files.size(), 2u) << prompter.messages.front().text;
    EXPECT_FALSE(files.count("outlook-2020-01-01-000000.kvx"));
    EXPECT_TRUE(files.count("outlook-2020-01-02-000000.kvx"));
    EXPECT_FALSE(files.count("outlook-2020-01-02-000000.partial.kvx"));
    EXPECT_FALSE(files.count("outlook.kvx"));
    files.erase("outlook-2020-01-02-000000.kvx");
    EXPECT_TRUE(files.begin()->starts_with("outlook-20")) << *files.begin();
    EXPECT_EQ(prompter.messages.front().text.rfind("The Backup was Completed!", 0), 0u);
    // The field names the chosen file: the message names the one written.
    EXPECT_NE(prompter.messages.front().text.find((folder / *files.begin()).string()),
              std::string::npos)
        << prompter.messages.front().text;

    // The choice is the prefix's: the next start shows it again.
    window.reset();
    open();
    window->Remember(std::make_unique<WindowMemory>(settings, prefix.root));
    EXPECT_TRUE(child<QCheckBox>("chkKeepVersions")->isChecked());
    EXPECT_EQ(child<QSpinBox>("spnKeepLast")->value(), 2);
    EXPECT_EQ(child<QSpinBox>("spnKeepWeekly")->value(), 0);
    EXPECT_TRUE(child<QSpinBox>("spnKeepWeekly")->isEnabled());
    EXPECT_FALSE(WindowMemory(settings, prefix.root / "other").KeepVersions("main").on);
}

TEST_F(VersionsWindowTest, TheRestoreTabListsTheVersionsNewestFirstAndOpensTheChosenOne) {
    open();
    keepVersions(3, 7, 4, 6);
    backUpTemplates();
    const std::set<std::string> written = NamesIn(folder);
    ASSERT_EQ(written.size(), 1u);
    const fs::path newest = folder / *written.begin();
    const fs::path older = folder / "outlook-2026-03-01-080910.kvx";
    const fs::path partial = folder / "outlook-2026-03-02-080910.partial.kvx";
    fs::copy_file(newest, older);
    fs::copy_file(newest, partial);
    std::ofstream(folder / "other-2026-03-03-080910.kvx") << "another backup's version";

    // A backup without versions shows no list.
    std::ofstream(folder / "single.kvx") << "x";
    window->OpenBackupFile(QString::fromStdString((folder / "single.kvx").string()));
    auto* list = child<QListWidget>("lstVersions");
    EXPECT_FALSE(list->isVisibleTo(window.get()));
    prompter.messages.clear();

    window->OpenBackupFile(QString::fromStdString(older.string()));
    ASSERT_TRUE(list->isVisibleTo(window.get()));
    ASSERT_EQ(list->count(), 3);
    const QLocale locale;
    EXPECT_TRUE(
        list->item(1)->text().startsWith(locale.toString(QDate(2026, 3, 2), QLocale::LongFormat)))
        << list->item(1)->text().toStdString();
    EXPECT_TRUE(list->item(1)->text().contains(QStringLiteral("partial")));
    EXPECT_EQ(list->item(0)->data(Qt::UserRole).toString().toStdString(), newest.string());
    EXPECT_EQ(list->item(2)->data(Qt::UserRole).toString().toStdString(), older.string());
    EXPECT_TRUE(list->item(2)->text().contains(
        locale.toString(QTime(8, 9, 10), QLocale::LongFormat).left(5)));
    EXPECT_EQ(list->currentRow(), 2);

    // Choosing the newest opens it for the restore.
    list->setCurrentRow(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text().toStdString(), newest.string());
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(itemBoxes(window.get(), "restoreitem")[ItemTemplates]->isEnabled());
    EXPECT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 1);
}

namespace {

// Answers the first password prompt with "secret", cancels the others.
struct SecretOnce : PasswordPrompt {
    int asked = 0;
    std::optional<std::string> AskPassword() override {
        return ++asked == 1 ? std::optional<std::string>("secret") : std::nullopt;
    }
};

} // namespace

// The file open heads its versions, chosen; another version is opened with
// the password in use, and a Cancel of its own password keeps the open one.
TEST_F(VersionsWindowTest, TheOpenFileIsListedAndAnotherVersionTriesItsPasswordFirst) {
    SecretOnce passwords;
    open(&passwords);
    keepVersions(9, 0, 0, 0);
    child<QCheckBox>("ifprotect")->setChecked(true);
    const fs::path same = folder / "outlook-2026-03-01-080910.kvx";
    const fs::path other = folder / "outlook-2026-03-02-080910.kvx";
    for (const fs::path& version : {same, other}) {
        const QString password = version == same ? "secret" : "other";
        child<QLineEdit>("txtPassword")->setText(password);
        child<QLineEdit>("txtPassword2")->setText(password);
        backUpTemplates();
        for (const std::string& name : NamesIn(folder))
            if (name.find("2026-03-0") == std::string::npos)
                fs::rename(folder / name, version);
    }
    fs::copy_file(same, chosen);

    window->OpenBackupFile(QString::fromStdString(chosen));
    auto* list = child<QListWidget>("lstVersions");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->data(Qt::UserRole).toString().toStdString(), chosen);
    EXPECT_EQ(list->currentRow(), 0);
    list->setCurrentRow(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(passwords.asked, 1);
    EXPECT_EQ(window->inspected().path, same.string());

    list->setCurrentRow(1); // the other password: asked, and cancelled
    QCoreApplication::processEvents();
    EXPECT_EQ(passwords.asked, 2);
    EXPECT_TRUE(window->inspected().accepted);
    EXPECT_EQ(window->inspected().path, same.string());
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text().toStdString(), same.string());
    EXPECT_TRUE(itemBoxes(window.get(), "restoreitem")[ItemTemplates]->isEnabled());
    EXPECT_EQ(list->currentRow(), 2);
}
