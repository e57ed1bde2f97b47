// Renders the disc window with an image tree and the erase window. With
// TRELMIG_SCREENSHOT_DIR set, saves them there for the README:
//   TRELMIG_SCREENSHOT_DIR=docs build/tools/render_screenshots --gtest_filter='DiscScreenshots.*'
#include "DarkPalette.h"
#include "DiscWindowSupport.h"
#include "RecordingPrompter.h"

#include "disc/ImageFileDevice.h"
#include "gui/DiscWriteWindow.h"
#include "gui/EraseDiscDialog.h"
#include "gui/Translations.h"

#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

class DiscScreenshots : public ::testing::Test {
protected:
    TempFolder dir;
    std::string handedOver; // the archive a backup hands the window
    RecordingPrompter prompter;

    void SetUp() override { guiApp(); }

    void Save(QWidget* window, const char* name) {
        window->show();
        QApplication::processEvents();
        const QPixmap picture = window->grab();
        ASSERT_FALSE(picture.isNull());
        EXPECT_GT(picture.width(), 200);
        const char* folder = std::getenv("TRELMIG_SCREENSHOT_DIR");
        if (!folder || !*folder)
            return;
        QDir().mkpath(QString::fromLocal8Bit(folder));
        const QString path = QString::fromLocal8Bit(folder) + "/" + name;
        EXPECT_TRUE(picture.save(path)) << path.toStdString();
    }

    void Sparse(const std::string& relative, std::uintmax_t size) {
        const std::string path = dir.Write(relative, "");
        fs::resize_file(path, size);
    }

    // A folder of the user's dropped on the window, its data files shown.
    void FillFolders(DiscWriteWindow& window) {
        Sparse("Outlook Backup/Personal Folders/Persönliche Ordner.pst", 734003200);
        Sparse("Outlook Backup/Personal Folders/archive.pst", 268435456);
        Sparse("Outlook Backup/Personal Folders/Projects 2023.pst", 52428800);
        dir.Write("Outlook Backup/Signatures/Work.htm", std::string(5120, 's'));
        dir.Write("Outlook Backup/Signatures/Work.txt", std::string(812, 's'));
        dir.Write("Outlook Backup/Templates/Weekly report.oft", std::string(40960, 't'));
        QMimeData dropped;
        dropped.setUrls(
            {QUrl::fromLocalFile(QString::fromStdString((dir.path / "Outlook Backup").string()))});
        window.AddDroppedFiles(&dropped);
        control<QTreeWidget>(&window, "tvwFolders")->expandAll();
        QTreeWidgetItem* folder = window.NodeByKey("\\Outlook Backup\\Personal Folders");
        ASSERT_NE(folder, nullptr);
        folder->setSelected(true);
        control<QTreeWidget>(&window, "tvwFolders")->setCurrentItem(folder);
        window.RefreshFileList();
        control<QCheckBox>(&window, "chkAutoVerify")->setChecked(true);
        EXPECT_EQ(control<QTreeWidget>(&window, "lvwImageFiles")->topLevelItemCount(), 3);
    }

    static FakeDiscDevice* Recorder() {
        auto* recorder = new FakeDiscDevice();
        recorder->name = "HL-DT-ST DVDRAM GH24NSD1 (/dev/sr0)";
        recorder->speeds = {{22160, 16.0}, {11080, 8.0}, {5540, 4.0}};
        recorder->capabilities = {{kCapBufferUnderrunProtection, true}, {kCapEraseDvdPlusRw, true}};
        recorder->media = {kMediaDvdPlusRw, true, true};
        recorder->freeBlocks = 2295104;
        return recorder;
    }
};

TEST_F(DiscScreenshots, DiscWindowWithAnImageTree) {
    Sparse("Backups/Outlook 2024-03-07.kvx", 187654321);
    handedOver = (dir.path / "Backups/Outlook 2024-03-07.kvx").string();
    DiscWriteWindow window(handedOver, prompter, nullptr,
                           EngineWith({Recorder(), new ImageFileDevice()}));
    FillFolders(window);
    window.resize(820, 620);
    EXPECT_TRUE(prompter.messages.empty());
    Save(&window, "disc-window.png");
}

// As a German user on a dark desktop sees it, on a 1920x1080 screen at 200 %
// (run with QT_SCALE_FACTOR=2 on such a screen for the picture).
TEST_F(DiscScreenshots, DiscWindowInGermanOnADarkFullHdScreenAtTwiceTheScale) {
    PaletteScope dark(breezeDark());
    ASSERT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Sparse("Backups/Outlook 2024-03-07.kvx", 187654321);
    handedOver = (dir.path / "Backups/Outlook 2024-03-07.kvx").string();
    {
        DiscWriteWindow window(handedOver, prompter, nullptr,
                               EngineWith({Recorder(), new ImageFileDevice()}));
        FillFolders(window);
        const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
        window.resize(QSize(820, 620).boundedTo(room));
        EXPECT_EQ(shownText(control<QPushButton>(&window, "cmdWriteDisc")->text()),
                  QStringLiteral("Disc schreiben"));
        Save(&window, "disc-dark-de-scale2.png");
    }
    QLocale::setDefault(before);
    RemoveTranslations();
}

TEST_F(DiscScreenshots, DiscWindowWithItsAddMenuOpen) {
    dir.Write("Outlook Backup/Signatures/Work.htm", std::string(5120, 's'));
    DiscWriteWindow window(handedOver, prompter, nullptr,
                           EngineWith({Recorder(), new ImageFileDevice()}));
    window.chooseFolderToAdd = [&] {
        return QString::fromStdString((dir.path / "Outlook Backup").string());
    };
    control<QAction>(&window, "mnuFileAddFolder")->trigger();
    control<QTreeWidget>(&window, "tvwFolders")->expandAll();
    window.resize(820, 620);
    window.show();
    QApplication::processEvents();
    // An open menu is a window of its own: drawn onto the window below its title.
    control<QMenu>(&window, "mnuFile")
        ->setActiveAction(control<QAction>(&window, "mnuFileAddFiles"));
    control<QMenu>(&window, "mnuFile")->ensurePolished();
    control<QMenu>(&window, "mnuFile")->adjustSize();
    QPixmap picture = window.grab();
    const QPixmap menu = control<QMenu>(&window, "mnuFile")->grab();
    const QRect title = control<QMenuBar>(&window, "menuBar")
                            ->actionGeometry(control<QMenu>(&window, "mnuFile")->menuAction());
    QPainter painter(&picture);
    painter.drawPixmap(control<QMenuBar>(&window, "menuBar")->mapTo(&window, title.bottomLeft()),
                       menu);
    painter.end();
    EXPECT_TRUE(window.Engine().Image().Find("\\Outlook Backup\\Signatures\\Work.htm"));
    const char* folder = std::getenv("TRELMIG_SCREENSHOT_DIR");
    if (folder && *folder) {
        EXPECT_TRUE(picture.save(QString::fromLocal8Bit(folder) + "/disc-add-menu.png"));
    }
}

TEST_F(DiscScreenshots, EraseWindow) {
    auto* recorder = Recorder();
    auto engine = EngineWith({recorder});
    ASSERT_TRUE(engine->InitializeDevices(false));
    EraseDiscDialog window(prompter);
    window.Prepare(recorder, *engine);
    window.EraseState(kEraseStarted, 35); // as it looks while the drive works
    window.resize(380, window.sizeHint().height());
    Save(&window, "disc-erase.png");
}

} // namespace
