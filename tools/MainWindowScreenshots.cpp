// Renders the screenshots of the README when TRELMIG_SCREENSHOT_DIR names a
// folder, for example:
//   TRELMIG_SCREENSHOT_DIR=docs/screenshots build/tools/render_screenshots
//   --gtest_filter='Screenshots.*'
#include "DarkPalette.h"
#include "FakeMailStore.h"
#include "MainWindowFixture.h"

#include "core/PasswordPrompt.h"
#include "gui/AboutDialog.h"
#include "gui/BackupFileName.h"
#include "gui/LookInsideWindow.h"
#include "gui/MessageBoxPrompter.h"
#include "gui/PasswordDialog.h"
#include "gui/ProgressPanel.h"
#include "gui/ScheduleDialog.h"
#include "gui/Translations.h"
#include "repository/Repository.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <cstdlib>
#include <fstream>
#include <future>

namespace fs = std::filesystem;
using namespace trelmig;

class Screenshots : public MainWindowTest {
protected:
    QString folder;

    void SetUp() override {
        const char* dir = std::getenv("TRELMIG_SCREENSHOT_DIR");
        if (!dir || !*dir)
            GTEST_SKIP() << "set TRELMIG_SCREENSHOT_DIR to render the screenshots";
        folder = QString::fromLocal8Bit(dir);
        QDir().mkpath(folder);
        MainWindowTest::SetUp();
    }

    void save(QWidget* w, const char* name) {
        QApplication::processEvents();
        const QString path = folder + QLatin1Char('/') + QString::fromLatin1(name);
        ASSERT_TRUE(w->grab().save(path)) << path.toStdString();
    }

    void prepareBackupTab(const std::string& archive) {
        nextFile = QString::fromStdString(archive);
        child<QPushButton>("cmdTargetFile")->click();
        child<QAction>("Selectallitems")->trigger();
        itemBoxes(window.get(), "backupitem")[ItemStationeries]->setChecked(false);
        child<QPlainTextEdit>("txtAttachInfo")
            ->setPlainText(QStringLiteral("Mail and settings before moving to the new laptop."));
        child<QCheckBox>("ifprotect")->setChecked(true);
        child<QLineEdit>("txtPassword")->setText(QStringLiteral("secret"));
        child<QLineEdit>("txtPassword2")->setText(QStringLiteral("secret"));
    }
};

TEST_F(Screenshots, MainWindowProgressPasswordAndAbout) {
    fs::create_directories(prefix.work.path() / "Backups");
    const std::string archive =
        (prefix.work.path() / "Backups" /
         ProposedBackupName(QStringLiteral("Outlook"), QDate::currentDate()).toStdString())
            .string();
    open();
    window->resize(window->sizeHint().expandedTo(QSize(860, 600)));
    prepareBackupTab(archive);
    save(window.get(), "main-backup.png");

    // The progress panel in the middle of the backup.
    bool grabbed = false;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (grabbed || !child<ProgressPanel>("picCon3")->isVisible() ||
            !partOf<QLabel>(child<ProgressPanel>("picCon3"), "SkinLabel9")
                 ->text()
                 .startsWith(QStringLiteral("Adding File")) ||
            partOf<QProgressBar>(child<ProgressPanel>("picCon3"), "pbshow")->value() < 30)
            return;
        grabbed = true;
        save(window.get(), "backup-progress.png");
    });
    during.start(0);
    prompter.answer = MessageAnswer::Cancel;
    child<QPushButton>("cmdApply")->click();
    finishRun();
    during.stop();
    EXPECT_TRUE(grabbed);
    ASSERT_TRUE(fs::is_regular_file(archive));

    // The restore tab after the backup file was inspected.
    ModalAnswerer typePassword([](QWidget* modal) {
        auto* prompt = qobject_cast<PasswordDialog*>(modal);
        if (!prompt)
            return false;
        control<QLineEdit>(prompt, "txtPassword")->setText(QStringLiteral("secret"));
        control<QPushButton>(prompt, "cmdOK")->click();
        return true;
    });
    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    child<QPushButton>("cmdSourceFile")->click();
    child<QComboBox>("cbTarget")->setCurrentText(QStringLiteral("Work"));
    child<QAction>("Selectallitems2")->trigger();
    itemBoxes(window.get(), "restoreitem")[ItemTemplates]->setChecked(false);
    save(window.get(), "main-restore.png");

    // A completion message as the window shows it.
    MessageBoxPrompter boxes(window.get());
    ModalAnswerer grabMessage([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return false;
        save(box, "backup-completed.png");
        box->accept();
        return true;
    });
    boxes.Show(prompter.messages.at(0).text, MessageIcon::Information);
    EXPECT_EQ(grabMessage.answered(), 1);

    std::string password;
    PasswordDialog prompt(password);
    prompt.show();
    control<QLineEdit>(&prompt, "txtPassword")->setText(QStringLiteral("secret"));
    save(&prompt, "password-prompt.png");

    AboutDialog box;
    box.show();
    save(&box, "about.png");
}

TEST_F(Screenshots, ScheduleWindow) {
    open();
    ScheduleDialog schedule(*env, prompter);
    schedule.SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    schedule.ShowModal(); // loads the window without waiting in it
    for (const char* item : {"backupitem0", "backupitem1", "backupitem2", "backupitem5"})
        schedule.findChild<QCheckBox*>(item)->setChecked(true);
    schedule.findChild<QComboBox*>("cmbStartTime")->setCurrentText(QStringLiteral("21:30"));
    for (const char* day : {"chkMonday", "chkWednesday", "chkFriday"})
        schedule.findChild<QCheckBox*>(day)->setChecked(true);
    schedule.findChild<QLineEdit*>("txtTargetFile")
        ->setText(QDir::homePath() + QStringLiteral("/Backups/outlook-2026-12-09.kvx"));
    schedule.findChild<QCheckBox*>("ifprotect")->click();
    schedule.findChild<QLineEdit*>("txtPassword")->setText(QStringLiteral("a long passphrase"));
    schedule.findChild<QLineEdit*>("txtPassword2")->setText(QStringLiteral("a long passphrase"));
    schedule.show();
    schedule.resize(schedule.sizeHint());
    save(&schedule, "schedule-window.png");
    schedule.hide();
}

// The windows as a German user on a dark desktop and a small screen sees
// them; run with QT_SCALE_FACTOR=2 for the HiDPI pictures.
TEST_F(Screenshots, GermanDarkSmallScreen) {
    PaletteScope dark(breezeDark());
    ASSERT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
    const std::string archive = (prefix.work.path() / "Outlook Backups" / "outlook.kvx").string();
    open();
    window->resize(800, 600);
    prepareBackupTab(archive);
    save(window.get(), "main-dark-de-800x600.png");

    // The progress panel during the long part of a backup.
    auto* panel = child<ProgressPanel>("picCon3");
    panel->SetShown(true);
    panel->SetStatusText("Compressing the backup file...");
    panel->setLocale(QLocale(QLocale::German, QLocale::Germany));
    panel->SetByteProgress(ByteWork::Compressing, "Outlook.pst", 1'200'000'000, 4'000'000'000);
    panel->SetBarValue(35);
    save(window.get(), "progress-dark-de-800x600.png");
    panel->SetShown(false);

    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    save(window.get(), "restore-dark-de-800x600.png");
    RemoveTranslations();
}

// The main window filling a 1920x1080 screen at 200 % (run with
// QT_SCALE_FACTOR=2 on such a screen), in German on a dark desktop.
TEST_F(Screenshots, GermanDarkFullHdAtTwiceTheScale) {
    PaletteScope dark(breezeDark());
    ASSERT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
    const std::string archive = (prefix.work.path() / "Outlook Backups" / "outlook.kvx").string();
    open();
    prepareBackupTab(archive);
    window->show();
    window->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    save(window.get(), "main-dark-de-scale2.png");
    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    save(window.get(), "restore-dark-de-scale2.png");
    window.reset();
    RemoveTranslations();
}

// A first start on an 800x600 screen, in English and in German, and the
// schedule window it opens: the sizes the windows choose themselves.
TEST_F(Screenshots, FirstStartAt800x600) {
    for (const bool german : {false, true}) {
        if (german) {
            ASSERT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
        }
        open();
        prepareBackupTab((prefix.work.path() / "outlook-2026-12-09.kvx").string());
        save(window.get(), german ? "first-start-de-800x600.png" : "first-start-en-800x600.png");
        ScheduleDialog schedule(*env, prompter);
        schedule.SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
        schedule.ShowModal({QStringLiteral("Outlook"), {true, true}, QString()});
        schedule.show();
        save(&schedule, german ? "schedule-de-800x600.png" : "schedule-en-800x600.png");
        window.reset();
    }
    RemoveTranslations();
}

// "Look Inside..." on a data file in memory: the inbox chosen, a message
// open, in English and in German.
TEST_F(Screenshots, LookInsideWindow) {
    for (const bool german : {false, true}) {
        if (german) {
            ASSERT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
        }
        LookInsideSource source;
        source.backupPath = QStringLiteral("/home/sam/Outlook Backups/outlook-2026-12-09.kvx");
        source.dataFiles = {"Outlook.pst", "Archive.pst"};
        source.open = [](const std::string& name,
                         const CancelToken&) -> Result<std::unique_ptr<MailStore>> {
            if (name == "Archive.pst")
                return Fail("the data file has a password of its own");
            return std::make_unique<FakeMailStore>(1234);
        };
        LookInsideWindow inside(std::move(source), prompter);
        inside.prepareRecovery = [](const std::string&) -> Result<LookInsideWindow::RecoveryJob> {
            return Fail("no");
        };
        inside.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !inside.Busy(); }, 20000));
        auto* tree = inside.findChild<QTreeWidget*>(QStringLiteral("tvwFolders"));
        const auto inbox =
            tree->findItems(QStringLiteral("Inbox"), Qt::MatchStartsWith | Qt::MatchRecursive);
        ASSERT_FALSE(inbox.isEmpty());
        tree->setCurrentItem(inbox.front());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !inside.Busy(); }, 20000));
        auto* view = inside.findChild<QTreeView*>(QStringLiteral("lvwMessages"));
        view->setCurrentIndex(view->model()->index(3, 0));
        auto* text = inside.findChild<QPlainTextEdit*>(QStringLiteral("txtMessage"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !text->toPlainText().isEmpty(); }, 20000));
        save(&inside, german ? "look-inside-de.png" : "look-inside-en.png");
    }
    RemoveTranslations();
}

// A repository as the backup's target, and the restore tab listing the
// versions of one, in English and in German. borg makes the repository and
// two versions in a folder of the run's own (BORG_BASE_DIR too).
TEST_F(Screenshots, RepositoryTargetAndVersions) {
    const fs::path borgHome = prefix.work.path() / "borg-base";
    setenv("BORG_BASE_DIR", borgHome.c_str(), 1);
    const fs::path repository = prefix.work.path() / "Outlook Repository";
    const fs::path content = prefix.work.path() / "version-content";
    fs::create_directories(content);
    std::ofstream(content / "vastrel.dat") << "BackupItem=1110110100\r\n";
    const std::string borg = "BORG_PASSPHRASE=secret borg ";
    ASSERT_EQ(std::system((borg + "init --encryption=repokey-blake2 '" + repository.string() +
                           "' >/dev/null 2>&1")
                              .c_str()),
              0);
    for (const char* when : {"2026-12-08T21:30:00", "2026-12-09T21:30:00"})
        ASSERT_EQ(std::system(("cd '" + content.string() + "' && " + borg +
                               "create --comment 'computer=LAPTOP\nprefix=wine\nprofile=Outlook\n"
                               "items=11101101\n' '" +
                               repository.string() + "::LAPTOP-wine-Outlook-" + when +
                               "' . >/dev/null 2>&1")
                                  .c_str()),
                  0);
    struct Secret : PasswordPrompt {
        std::optional<std::string> AskPassword() override { return "secret"; }
    } passphrase;
    for (const bool german : {false, true}) {
        if (german) {
            ASSERT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
        }
        open(&passphrase);
        window->resize(window->sizeHint().expandedTo(QSize(860, 600)));
        child<QAction>("Selectallitems")->trigger();
        child<QRadioButton>("optTargetRepository")->click();
        child<QLineEdit>("txtTargetRepository")->setText(QString::fromStdString(repository));
        child<QLineEdit>("txtPassword")->setText(QStringLiteral("secret"));
        child<QLineEdit>("txtPassword2")->setText(QStringLiteral("secret"));
        save(window.get(), german ? "repository-backup-de.png" : "repository-backup.png");
        child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        window->askRepositoryAddress = [&](const QString&) {
            return std::optional<QString>(QString::fromStdString(repository));
        };
        // borg's listing waits until the window has been drawn while it works.
        std::promise<void> drawn;
        window->listRepositoryVersions =
            [gate = drawn.get_future().share()](const RepositoryAddress& address,
                                                const std::string& passphrase) {
                gate.wait();
                return ListVersions(address, passphrase);
            };
        child<QPushButton>("cmdSourceRepository")->click();
        save(window.get(), german ? "repository-listing-de.png" : "repository-listing.png");
        drawn.set_value();
        finishRun();
        save(window.get(), german ? "repository-versions-de.png" : "repository-versions.png");
        window.reset();
    }
    RemoveTranslations();
    unsetenv("BORG_BASE_DIR");
}
