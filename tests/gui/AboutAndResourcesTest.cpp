#include "WindowTestSupport.h"

#include "core/ItemCatalogue.h"
#include "gui/AboutDialog.h"
#include "gui/DataFiles.h"
#include "gui/Help.h"
#include "gui/InstanceLock.h"
#include "gui/Skin.h"

#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

#include <fstream>
#include <vector>

using namespace trelmig;

namespace {

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Collects Qt's warnings while alive.
class WarningCatcher {
public:
    WarningCatcher() { previous_ = qInstallMessageHandler(&WarningCatcher::handle); }
    ~WarningCatcher() { qInstallMessageHandler(previous_); }
    static inline QStringList warnings;

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
        // The offscreen platform's own remark is no complaint about the skin.
        if (type != QtDebugMsg && type != QtInfoMsg &&
            !text.contains(QLatin1String("propagateSizeHints")))
            warnings << text;
    }
    QtMessageHandler previous_;
};

class UrlRecorder {
public:
    UrlRecorder() {
        previous_ = SetUrlOpener([this](const QUrl& url) {
            urls.push_back(url);
            return true;
        });
    }
    ~UrlRecorder() { SetUrlOpener(previous_); }
    std::vector<QUrl> urls;

private:
    UrlOpener previous_;
};

} // namespace

class ProgramFilesTest : public ::testing::Test {
protected:
    void SetUp() override { guiApp(); }
};

TEST_F(ProgramFilesTest, TheSkinIsFoundAndParsesWithoutComplaint) {
    const QString skin = FindDataFile(QString::fromLatin1(kSkinFile));
    ASSERT_FALSE(skin.isEmpty()) << DataFolders().join(QLatin1Char(' ')).toStdString();
    const QString sheet = LoadSkin(skin);
    ASSERT_FALSE(sheet.isEmpty());
    WarningCatcher::warnings.clear();
    {
        WarningCatcher catcher;
        AboutDialog box; // applies the skin to itself
        EXPECT_EQ(box.styleSheet(), sheet);
        box.show();
        box.grab();
    }
    EXPECT_TRUE(WarningCatcher::warnings.isEmpty())
        << WarningCatcher::warnings.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ProgramFilesTest, AMissingSkinLeavesTheDefaultLook) {
    WorkFolder folder;
    EXPECT_TRUE(LoadSkin(QString::fromStdString((folder.path() / "none.skn").string())).isEmpty());
    EXPECT_TRUE(LoadSkin(QString()).isEmpty());
}

TEST_F(ProgramFilesTest, PicturesOfTheSkinAreTakenFromItsOwnFolder) {
    WorkFolder folder;
    const std::string path = (folder.path() / "my skin.skn").string();
    std::ofstream(path) << "A { image: url(arrow.svg); }\n"
                           "B { image: url( 'sub/b.png' ); }\n"
                           "C { image: url(/abs/c.png); }\n"
                           "D { image: url(:/res/d.png); }\n";
    const QString dir = QString::fromStdString(folder.path().string());
    EXPECT_EQ(LoadSkin(QString::fromStdString(path)),
              QStringLiteral("A { image: url(\"%1/arrow.svg\"); }\n"
                             "B { image: url(\"%1/sub/b.png\"); }\n"
                             "C { image: url(/abs/c.png); }\n"
                             "D { image: url(:/res/d.png); }\n")
                  .arg(dir));
}

TEST_F(ProgramFilesTest, TheHelpPageExplainsEveryItemAndEveryTask) {
    const QString page = HelpFilePath();
    ASSERT_FALSE(page.isEmpty());
    const QString html = readText(page);
    for (const CatalogueItem& item : itemCatalogue()) {
        const QString caption = QString::fromUtf8(item.caption.data(), item.caption.size());
        EXPECT_TRUE(html.contains(caption)) << caption.toStdString();
    }
    for (const char* section :
         {"id=\"backup\"", "id=\"restore\"", "id=\"schedule\"", "id=\"burn\""})
        EXPECT_TRUE(html.contains(QString::fromLatin1(section))) << section;

    UrlRecorder recorder;
    EXPECT_TRUE(ShowHelp());
    ASSERT_EQ(recorder.urls.size(), 1u);
    EXPECT_EQ(recorder.urls[0], QUrl::fromLocalFile(page));
}

TEST_F(ProgramFilesTest, OpenDocumentTakesWebAddressesAndPaths) {
    UrlRecorder recorder;
    OpenDocument(QStringLiteral("https://www.example.org/quenvar/"));
    OpenDocument(QStringLiteral("/tmp/some file.kvx"));
    ASSERT_EQ(recorder.urls.size(), 2u);
    EXPECT_EQ(recorder.urls[0].scheme(), QStringLiteral("https"));
    EXPECT_EQ(recorder.urls[1], QUrl::fromLocalFile(QStringLiteral("/tmp/some file.kvx")));
}

TEST_F(ProgramFilesTest, TheDesktopFileStartsTheProgramWithItsIcon) {
    const QString desktop =
        QStringLiteral(TRELMIG_SOURCE_DIR) + QStringLiteral("/resources/trelmig.desktop");
    QSettings entry(desktop, QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
    EXPECT_EQ(entry.value(QStringLiteral("Exec")).toString(), QStringLiteral("trelmig %f"));
    EXPECT_EQ(entry.value(QStringLiteral("Icon")).toString(), QStringLiteral("trelmig"));
    const QString icon = FindDataFile(QStringLiteral("icons/trelmig.svg"));
    ASSERT_FALSE(icon.isEmpty());
    EXPECT_FALSE(QIcon(icon).pixmap(64, 64).isNull());
    // The theme's PNGs beside the SVG, each of its size.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage png(QStringLiteral(TRELMIG_SOURCE_DIR "/resources/icons/hicolor/%1x%1/apps/"
                                                           "trelmig.png")
                             .arg(size));
        EXPECT_EQ(png.size(), QSize(size, size)) << size;
    }

    // The entry opens backup files: the type it names is the one declared for *.kvx.
    const QString types =
        readText(QStringLiteral(TRELMIG_SOURCE_DIR "/resources/mime/trelmig.xml"));
    EXPECT_TRUE(
        types.contains(QStringLiteral("<mime-type type=\"application/x-trelmig-backup\">")));
    EXPECT_TRUE(types.contains(QStringLiteral("<glob pattern=\"*.kvx\"/>")));
    EXPECT_EQ(readText(desktop).count(QStringLiteral("\nMimeType=application/x-trelmig-backup;\n")),
              1);
}

TEST_F(ProgramFilesTest, TheAboutBoxNamesTheProductAndNoMadeUpAddress) {
    AboutDialog box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About Quenvar Outlook Backup"));
    EXPECT_EQ(control<QLabel>(&box, "SkinLabel2")->text(),
              QStringLiteral("Quenvar Outlook Backup v2.60"));
    EXPECT_EQ(control<QLabel>(&box, "SkinLabel1")->text(),
              QStringLiteral("Thank you for using our product."));
    EXPECT_FALSE(control<QLabel>(&box, "Picture1")->pixmap().isNull());
    // Every text the box shows is real: no address that leads nowhere.
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        EXPECT_FALSE(label->text().contains(QStringLiteral("example.")))
            << label->text().toStdString();
        EXPECT_FALSE(label->text().contains(QStringLiteral("http"))) << label->text().toStdString();
    }
    box.show();
    EXPECT_EQ(shownText(control<QPushButton>(&box, "Command3")->text()), QStringLiteral("Close"));
    control<QPushButton>(&box, "Command3")->click();
    EXPECT_FALSE(box.isVisible());
}

TEST_F(ProgramFilesTest, OneWindowPerWinePrefix) {
    WorkFolder a, b;
    InstanceLock first(a.path());
    ASSERT_TRUE(first.TryLock());
    {
        InstanceLock second(a.path() / "." / "");
        EXPECT_FALSE(second.TryLock());
        InstanceLock elsewhere(b.path());
        EXPECT_TRUE(elsewhere.TryLock());
    }
    // Freed when its holder goes.
    auto held = std::make_unique<InstanceLock>(b.path());
    ASSERT_TRUE(held->TryLock());
    held.reset();
    InstanceLock again(b.path());
    EXPECT_TRUE(again.TryLock());
}
