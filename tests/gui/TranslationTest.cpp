// The windows in German: the translation built into the program is found
// for a German locale, and the English texts stay the source.
#include "MainWindowFixture.h"
#include "RecordingPrompter.h"

#include "archive/ZipArchive.h"
#include "backup/BackupDriver.h"
#include "core/CompletionLog.h"
#include "gui/ByteProgressText.h"
#include "gui/CompletionLogText.h"
#include "gui/EraseDiscDialog.h"
#include "gui/LastBackupLine.h"
#include "gui/MessageBoxPrompter.h"
#include "gui/MessageTexts.h"
#include "gui/ProgressPanel.h"
#include "gui/Translations.h"
#include "gui/Worker.h"
#include "platform/ScopedEnv.h"
#include "platform/WorkFolder.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <mutex>
#include <set>
#include <thread>

using namespace trelmig;
using namespace std::chrono_literals;

namespace {

struct GermanScope {
    GermanScope() { loaded = InstallTranslations(QLocale(QLocale::German, QLocale::Germany)); }
    ~GermanScope() { RemoveTranslations(); }
    bool loaded = false;
};

} // namespace

TEST_F(MainWindowTest, TheWindowSpeaksGermanWithAGermanLocale) {
    {
        GermanScope german;
        ASSERT_TRUE(german.loaded);
        open();
        EXPECT_EQ(child<QTabWidget>("SSTab1")->tabText(0), QStringLiteral("Sichern"));
        EXPECT_EQ(child<QGroupBox>("Frame6")->title(), QStringLiteral("Zu sichernde Elemente"));
        EXPECT_EQ(child<QGroupBox>("Frame3")->title(), QStringLiteral("Wiederherstellen aus"));
        EXPECT_EQ(child<QGroupBox>("Frame4")->title(), QStringLiteral("Wiederherstellen in"));
        EXPECT_EQ(shownText(child<QPushButton>("cmdApply")->text()),
                  QStringLiteral("Jetzt sichern"));
        EXPECT_EQ(child<QLineEdit>("txtTargetFile")->accessibleName(),
                  QStringLiteral("Sicherungsdatei"));
        EXPECT_EQ(shownText(itemBoxes(window.get(), "backupitem")[ItemTemplates]->text()),
                  QStringLiteral("Vorlagen"));
        const QLocale de(QLocale::German, QLocale::Germany);
        EXPECT_EQ(ByteProgressText(ByteWork::Compressing, QStringLiteral("Outlook.pst"),
                                   1'200'000'000, 4'000'000'000, 180'000'000.0, 20s, de),
                  QStringLiteral("Outlook.pst wird komprimiert: 1,2 GB von 4,0 GB, 180,0 MB/s, "
                                 "noch etwa 20 s"));
        // The restore's last target, a new profile, in German.
        auto* targets = child<QComboBox>("cbTarget");
        EXPECT_EQ(targets->itemText(targets->count() - 1), QStringLiteral("Neues Profil..."));
        // The prefix chooser's line of a Windows user folder.
        EXPECT_EQ(QCoreApplication::translate("trelmig::PrefixChooser",
                                              "Windows partition %1, read-only"),
                  QStringLiteral("Windows-Partition %1, nur lesend"));
        window.reset();
    }
    // Without it, the program's own English texts.
    EXPECT_FALSE(InstallTranslations(QLocale(QLocale::English, QLocale::UnitedStates)));
    open();
    EXPECT_EQ(child<QTabWidget>("SSTab1")->tabText(0), QStringLiteral("Backup"));
    EXPECT_EQ(child<QLineEdit>("txtTargetFile")->accessibleName(), QStringLiteral("Backup file"));
}

// A driver's message reaches its box in German: the template is translated,
// then filled with the values of the run, also when the run asks from its
// own thread.
TEST_F(MainWindowTest, ADriversMessageIsShownInGerman) {
    GermanScope german;
    ASSERT_TRUE(german.loaded);
    open();
    QStringList shown;
    ModalAnswerer close([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return false;
        shown << box->text();
        box->accept();
        return true;
    });
    close.repeat();
    MessageBoxPrompter boxes;
    SilentProgress quiet;
    ZipArchive zip(env->ansi);
    BackupDriver driver(*env, zip, boxes, quiet);
    EXPECT_FALSE(driver.RunBackup(BackupChoices{}).started);

    ThreadPrompter fromRun(boxes);
    std::thread run([&] {
        fromRun.ShowMessage({MessageId::BackupCancelled, {"/home/sam/Outlook %1.kvx"}},
                            MessageIcon::Information);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown.size() == 2; }, 10000));
    run.join();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], QStringLiteral("Bitte wählen Sie einen Namen für die Sicherungsdatei."));
    EXPECT_EQ(shown[1], QStringLiteral("Die Sicherung wurde abgebrochen. Es wurde keine "
                                       "Sicherungsdatei geschrieben; eine Datei unter "
                                       "/home/sam/Outlook %1.kvx blieb, wie sie war."));
}

// The line about the unattended runs speaks the window's language too.
TEST(LastBackupLineInGerman, SaysWhenNoBackupRanYet) {
    guiApp();
    WorkFolder state;
    ScopedEnv stateHome("XDG_STATE_HOME", state.path().string());
    GermanScope german;
    ASSERT_TRUE(german.loaded);
    LastBackupLine line;
    EXPECT_EQ(control<QLabel>(&line, "lblLastBackup")->text(),
              QStringLiteral("Letzte Sicherung: noch keine"));
    EXPECT_EQ(shownText(control<QPushButton>(&line, "cmdShowRuns")->text()),
              QStringLiteral("Sicherungsläufe anzeigen..."));
}

// The erase window's buttons speak the language of its messages.
TEST(EraseWindowInGerman, ButtonsAreTranslated) {
    guiApp();
    GermanScope german;
    ASSERT_TRUE(german.loaded);
    RecordingPrompter prompter;
    EraseDiscDialog window(prompter);
    EXPECT_EQ(control<QPushButton>(&window, "cmdErase")->text(), QStringLiteral("&Löschen"));
    EXPECT_EQ(control<QPushButton>(&window, "cmdCancel")->text(), QStringLiteral("&Abbrechen"));
}

// A time a driver names reads as every other time the windows show: the
// replace question's file time in the German short form.
TEST(MessagesInGerman, ATimeInAMessageIsInTheUsersLocale) {
    guiApp();
    GermanScope german;
    ASSERT_TRUE(german.loaded);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = QString::fromStdString(
        TranslatedMessage({MessageId::BackupFileExists, {"/b/o.kvx", "2026-11-03 21:30:00"}}));
    EXPECT_TRUE(text.contains(QStringLiteral("03.11.26 21:30"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("2026-11-03"))) << text.toStdString();
    QLocale::setDefault(before);
}

// Every message of the table has its German text, with the same placeholders.
TEST(MessagesInGerman, EveryTemplateIsTranslatedWithItsPlaceholders) {
    guiApp();
    GermanScope german;
    ASSERT_TRUE(german.loaded);
    for (int i = 0; i <= static_cast<int>(kLastMessageId); ++i) {
        const auto id = static_cast<MessageId>(i);
        const std::string english(MessageTemplate(id));
        const std::string text = TranslatedMessage({id, {}});
        // "trelmig: %1" and a bare reason read the same in every language.
        if (id != MessageId::ProgramLine && id != MessageId::ReasonOnly) {
            EXPECT_NE(text, english) << english;
        }
        for (const char* placeholder : {"%1", "%2", "%3", "%4", "%5", "%6", "%7", "%8", "%9"})
            EXPECT_EQ(english.find(placeholder) == std::string::npos,
                      text.find(placeholder) == std::string::npos)
                << placeholder << " in " << text;
    }
}

namespace {

// The panel, remembering each status it was given to show (a run's thread
// hands each over to the windows' thread, where it comes by again).
struct StatusWatch : ProgressPanel {
    std::mutex lock;
    std::set<QString> statuses;
    void SetStatusText(const std::string& text) override {
        {
            const std::lock_guard<std::mutex> hold(lock);
            statuses.insert(QString::fromStdString(text));
        }
        ProgressPanel::SetStatusText(text);
    }
    std::set<QString> percents;
    void SetPercentText(const std::string& text) override {
        {
            const std::lock_guard<std::mutex> hold(lock);
            percents.insert(QString::fromStdString(text));
        }
        ProgressPanel::SetPercentText(text);
    }
};

} // namespace

// The steps of a real backup show in the panel in German, the step at work
// and the archive's own, and none in English.
TEST(ProgressInGerman, TheStepsOfABackupAreShownInGerman) {
    guiApp();
    GermanScope german;
    ASSERT_TRUE(german.loaded);
    SamplePrefixCopy sample;
    RecordingPrompter prompter;
    prompter.answer = MessageAnswer::Cancel; // no disc
    Environment env(WinePrefix(sample.root), prompter);
    env.Discover();
    ZipArchive zip(env.ansi);
    StatusWatch panel;
    BackupDriver driver(env, zip, prompter, panel);
    BackupChoices choices;
    choices.profile = "Outlook";
    choices.items[0] = true; // Personal Folders: the profile, its data files, its rules
    choices.targetFile = (sample.work.path() / "backup.kvx").string();
    ASSERT_TRUE(driver.RunBackup(choices).written);
    QCoreApplication::processEvents();

    const std::lock_guard<std::mutex> hold(panel.lock);
    for (const char* german :
         {"Konfiguration wird kopiert...", "Datendateien (PST-Dateien) werden kopiert...",
          "Regeln werden kopiert...", "Die Sicherungsdatei wird komprimiert...",
          "Die Sicherungsdatei wird geprüft..."})
        EXPECT_TRUE(panel.statuses.count(QString::fromUtf8(german))) << german;
    for (const QString& status : panel.statuses)
        EXPECT_FALSE(status.startsWith(QStringLiteral("Copying"))) << status.toStdString();
    EXPECT_TRUE(panel.percents.count(QStringLiteral("Datei wird geschrieben: 100%")));
    for (const QString& percent : panel.percents)
        EXPECT_FALSE(percent.startsWith(QStringLiteral("Write"))) << percent.toStdString();
}

// Qt's own texts (its file dialog, its standard buttons) and the lines of a
// run's completion message are German too; paths and tabs stay.
TEST(QtAndCompletionLinesInGerman, AreTranslated) {
    guiApp();
    GermanScope german;
    ASSERT_TRUE(german.loaded);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Suchen in:"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

    const std::string log =
        CompletionLine("Backup Personal Folders", "\t\t", true) +
        CompletionLine("Restore Signatures ", "\t\t", false,
                       "not restored, as an earlier part of it failed") +
        CompletionLine("Backup Templates", "\t\t", false, "C:\\users\\sam is gone");
    EXPECT_EQ(TranslatedMessage({MessageId::BackupCompleted, {log}}),
              "Die Sicherung wurde abgeschlossen!\t\t\t\r\n"
              "\r\nPersönliche Ordner sichern\t\terfolgreich!\t"
              "\r\nSignaturen wiederherstellen \t\tFehlgeschlagen!\t"
              "\r\n    nicht wiederhergestellt, da ein früherer Teil davon fehlschlug"
              "\r\nVorlagen sichern\t\tFehlgeschlagen!\t\r\n    C:\\users\\sam is gone");
    // Every item's lines.
    for (const ItemRecord& record : kItemRecords)
        for (std::string_view label :
             {record.backupLogName, record.restoreLogName, record.restoreFailedName})
            if (!label.empty()) {
                const std::string line = CompletionLine(label, "\t", true);
                EXPECT_EQ(TranslatedCompletionLog(line).find(label), std::string::npos) << label;
            }
}
