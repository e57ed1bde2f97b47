// The windows in German: the translation built into the program is found
// for a German locale, and the English texts stay the source.
#include "MainWindowFixture.h"

#include "archive/ZipArchive.h"
#include "backup/BackupDriver.h"
#include "gui/ByteProgressText.h"
#include "gui/LastBackupLine.h"
#include "gui/MessageBoxPrompter.h"
#include "gui/MessageTexts.h"
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

// Every message of the table has its German text, with the same placeholders.
TEST(MessagesInGerman, EveryTemplateIsTranslatedWithItsPlaceholders) {
    guiApp();
    GermanScope german;
    ASSERT_TRUE(german.loaded);
    for (int i = 0; i <= static_cast<int>(MessageId::RestoreCompleted); ++i) {
        const auto id = static_cast<MessageId>(i);
        const std::string english(MessageTemplate(id));
        const std::string text = TranslatedMessage({id, {}});
        if (id != MessageId::ProgramLine) { // "trelmig: %1" in every language
            EXPECT_NE(text, english) << english;
        }
        for (const char* placeholder : {"%1", "%2", "%3"})
            EXPECT_EQ(english.find(placeholder) == std::string::npos,
                      text.find(placeholder) == std::string::npos)
                << placeholder << " in " << text;
    }
}
