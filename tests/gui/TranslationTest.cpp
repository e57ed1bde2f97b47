// The windows in German: the translation built into the program is found
// for a German locale, and the English texts stay the source.
#include "MainWindowFixture.h"

#include "gui/ByteProgressText.h"
#include "gui/Translations.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

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
