// What the windows remember between starts (per Wine prefix where it is
// the user's data), and where new backups go by default.
#include "MainWindowFixture.h"

#include "gui/PrefixChooser.h"
#include "gui/RememberedSize.h"
#include "gui/RunsDialog.h"
#include "gui/WindowMemory.h"
#include "platform/ScopedEnv.h"
#include "platform/WindowsPartitionFinder.h"
#include "platform/WinePrefixFinder.h"

#include <QDir>
#include <QPushButton>

#include <fstream>

using namespace trelmig;
namespace fs = std::filesystem;

TEST_F(MainWindowTest, TheLastBackupItsFolderAndItemsAreRememberedPerPrefix) {
    const QString settings =
        QString::fromStdString((prefix.work.path() / "settings.conf").string());
    const fs::path folder = prefix.work.path() / "backups";
    fs::create_directories(folder);
    const std::string archive = (folder / "outlook.kvx").string();

    open();
    window->Remember(std::make_unique<WindowMemory>(settings, prefix.root));
    nextFile = QString::fromStdString(archive);
    child<QPushButton>("cmdTargetFile")->click();
    auto boxes = itemBoxes(window.get(), "backupitem");
    boxes[ItemTemplates]->setChecked(true);
    prompter.answer = MessageAnswer::Cancel; // no disc
    child<QPushButton>("cmdApply")->click();
    finishRun();
    ASSERT_TRUE(fs::exists(archive));

    const WindowMemory kept(settings, prefix.root);
    EXPECT_EQ(kept.LastBackupFile(), QString::fromStdString(archive));
    EXPECT_EQ(kept.BackupFolder(), QString::fromStdString(folder.string()));
    EXPECT_EQ(kept.Items(), QStringLiteral("00000010"));
    EXPECT_TRUE(WindowMemory(settings, prefix.root / "other").Items().isEmpty());

    // The next start on the prefix ticks the same items again.
    window.reset();
    open();
    window->Remember(std::make_unique<WindowMemory>(settings, prefix.root));
    boxes = itemBoxes(window.get(), "backupitem");
    for (int i = 0; i < kItemCount; ++i)
        EXPECT_EQ(boxes[static_cast<std::size_t>(i)]->isChecked(), i == ItemTemplates) << i;
}

TEST(DefaultBackupFolder, OutlookBackupsInTheDocumentsFolderMadeOnFirstUse) {
    trelmig::WorkFolder work;
    const fs::path home = work.path() / "home";
    const fs::path config = home / ".config";
    fs::create_directories(config);
    // A German desktop names its documents folder in user-dirs.dirs.
    std::ofstream(config / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    ScopedEnv homeVar("HOME", home.string());
    ScopedEnv configVar("XDG_CONFIG_HOME", config.string());
    const QString folder = DefaultBackupFolder();
    EXPECT_EQ(folder, QString::fromStdString((home / "Dokumente" / "Outlook Backups").string()));
    EXPECT_TRUE(QDir(folder).exists());
}

// The other windows come back at the size the user gave them, each its own.
TEST_F(MainWindowTest, TheOtherWindowsKeepTheirSizes) {
    const QString settings =
        QString::fromStdString((prefix.work.path() / "settings.conf").string());
    WindowMemory memory(settings, prefix.root);
    const std::vector<FoundPrefix> found{{prefix.root, "~/.wine"}};
    {
        PrefixChooser chooser(found, {}, prefix.root, prompter);
        RunsDialog runs(7);
        KeepWindowSize(&chooser, &memory);
        KeepWindowSize(&runs, &memory);
        for (QWidget* window : {static_cast<QWidget*>(&chooser), static_cast<QWidget*>(&runs)})
            window->show();
        chooser.resize(700, 430);
        runs.resize(820, 390);
        chooser.hide();
        runs.hide();
    }
    PrefixChooser chooser(found, {}, prefix.root, prompter);
    RunsDialog runs(7);
    const QSize first = chooser.size();
    KeepWindowSize(&chooser, &memory);
    KeepWindowSize(&runs, &memory);
    EXPECT_NE(first, QSize(700, 430));
    EXPECT_EQ(chooser.size(), QSize(700, 430));
    EXPECT_EQ(runs.size(), QSize(820, 390));
    // Without a memory (no home folder) the windows open at their own size.
    PrefixChooser unremembered(found, {}, prefix.root, prompter);
    KeepWindowSize(&unremembered, nullptr);
    EXPECT_EQ(unremembered.size(), first);
}
