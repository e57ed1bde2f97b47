// File > "Open Wine Prefix...": the chooser of found prefixes and Windows
// user folders, the window's handler and the prefix the window starts on.
#include "MainWindowFixture.h"

#include "gui/Application.h"
#include "gui/PrefixChooser.h"
#include "platform/RememberedPrefix.h"
#include "platform/WindowsPartitionFinder.h"
#include "platform/WinePrefixFinder.h"

#include "../platform/ScopedEnv.h"
#include "RunShell.h"

#include <QListWidget>
#include <QPushButton>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

// Accepts the next modal dialog with the button of that object name.
void clickWhenShown(const char* button) {
    QTimer::singleShot(0, [button] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            if (auto* b = dialog->findChild<QPushButton*>(QString::fromLatin1(button)))
                b->click();
    });
}

} // namespace

class PrefixChooserTest : public MainWindowTest {
protected:
    SamplePrefixCopy outlook2016{kSamplePrefix2016};
    ScopedEnv config{"XDG_CONFIG_HOME", (prefix.work.path() / "config").string()};
    std::vector<FoundPrefix> found{{prefix.root, "~/.wine"}, {outlook2016.root, "Bottles"}};
};

TEST_F(PrefixChooserTest, ListsThePrefixesWithTheirOutlookAndChoosesOne) {
    PrefixChooser chooser(found, {}, outlook2016.root, prompter);
    ASSERT_EQ(control<QListWidget>(&chooser, "lstPrefixes")->count(), 2);
    const QString first = control<QListWidget>(&chooser, "lstPrefixes")->item(0)->text();
    EXPECT_TRUE(first.startsWith(QString::fromStdString(prefix.root.string())));
    EXPECT_TRUE(first.contains(QStringLiteral("Outlook 2010: Outlook, Work (~/.wine)")))
        << first.toStdString();
    EXPECT_TRUE(control<QListWidget>(&chooser, "lstPrefixes")
                    ->item(1)
                    ->text()
                    .contains(QStringLiteral("Outlook 2016: Outlook, Work (Bottles)")));
    // The prefix open now is chosen at first.
    EXPECT_EQ(control<QListWidget>(&chooser, "lstPrefixes")->currentRow(), 1);

    control<QListWidget>(&chooser, "lstPrefixes")->setCurrentRow(0);
    clickWhenShown("cmdOpen");
    chooser.exec();
    EXPECT_EQ(chooser.Chosen(), MachineSource::Prefix(prefix.root));
}

TEST_F(PrefixChooserTest, OtherFolderMustBeAWinePrefix) {
    PrefixChooser chooser({}, {}, prefix.work.path() / "none", prompter);
    EXPECT_EQ(control<QListWidget>(&chooser, "lstPrefixes")->count(), 0);
    EXPECT_FALSE(control<QPushButton>(&chooser, "cmdOpen")->isEnabled());
    QString folder = QString::fromStdString(prefix.driveC().string());
    chooser.chooseFolder = [&folder] { return folder; };
    control<QPushButton>(&chooser, "cmdOther")->click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_NE(prompter.messages[0].text.find("is not a Wine prefix"), std::string::npos);
    EXPECT_FALSE(chooser.Chosen());

    folder = QString::fromStdString(outlook2016.root.string());
    control<QPushButton>(&chooser, "cmdOther")->click();
    EXPECT_EQ(chooser.Chosen(), MachineSource::Prefix(outlook2016.root));
}

TEST_F(PrefixChooserTest, TheWindowRemembersAndOpensTheChosenPrefix) {
    open();
    std::vector<MachineSource> opened;
    std::optional<MachineSource> answer = MachineSource::Prefix(outlook2016.root);
    window->choosePrefix = [&answer] { return answer; };
    window->openMachine = [&opened](const MachineSource& machine) { opened.push_back(machine); };

    child<QAction>("openprefix")->trigger();
    EXPECT_EQ(opened, std::vector<MachineSource>{MachineSource::Prefix(outlook2016.root)});
    EXPECT_EQ(LoadRememberedPrefix(), outlook2016.root);

    // Cancelled, or the prefix open now: nothing happens.
    answer.reset();
    child<QAction>("openprefix")->trigger();
    answer = MachineSource::Prefix(prefix.root);
    child<QAction>("openprefix")->trigger();
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(LoadRememberedPrefix(), outlook2016.root);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PrefixChooserTest, TheWindowStartsOnTheRememberedPrefixUnlessOneIsNamed) {
    ScopedEnv noWinePrefix("WINEPREFIX", std::nullopt);
    EXPECT_EQ(WindowPrefix(std::nullopt), std::nullopt);
    SaveRememberedPrefix(outlook2016.root);
    EXPECT_EQ(WindowPrefix(std::nullopt), outlook2016.root);
    EXPECT_EQ(WindowPrefix(prefix.root), prefix.root);
    {
        ScopedEnv named("WINEPREFIX", prefix.root.string());
        EXPECT_EQ(WindowPrefix(std::nullopt), std::nullopt);
    }
    // A remembered folder that is no prefix any more is passed over.
    fs::remove(outlook2016.root / "system.reg");
    fs::remove(outlook2016.root / "user.reg");
    EXPECT_EQ(WindowPrefix(std::nullopt), std::nullopt);
    // ... and named to the user, not silently replaced.
    const auto told = PassedOverPrefixMessage(std::nullopt, "/home/sam/.wine");
    ASSERT_TRUE(told);
    EXPECT_NE(told->find(outlook2016.root.string()), std::string::npos) << *told;
    EXPECT_NE(told->find("/home/sam/.wine"), std::string::npos) << *told;
    EXPECT_EQ(PassedOverPrefixMessage(prefix.root, "/home/sam/.wine"), std::nullopt);
}

// A mounted Windows partition, as the fixture tool writes the Windows PC the
// sample prefix stands for: its user folders are listed beside the prefixes
// and one is opened as a Windows user source, read-only.
class WindowsPartitionChooserTest : public PrefixChooserTest {
protected:
    fs::path media = prefix.work.path() / "media";
    fs::path partition = media / "OS";
    fs::path userFolder;

    void SetUp() override {
        PrefixChooserTest::SetUp();
        const CommandRun made =
            RunShell(std::string(TRELMIG_MAKE_WINDOWS_DISK) + " '" + prefix.root.string() +
                     "' sam '" + partition.string() + "'");
        ASSERT_EQ(made.status, 0) << made.output;
        userFolder = partition / "Users" / "sam";
    }
};

TEST_F(WindowsPartitionChooserTest, ListsTheUserFoldersOfMountedPartitionsAndChoosesOne) {
    const std::vector<FoundWindowsUser> users = FindWindowsUsers({media});
    ASSERT_EQ(users.size(), 1u);
    PrefixChooser chooser(found, users, prefix.root, prompter);
    auto* list = control<QListWidget>(&chooser, "lstPrefixes");
    ASSERT_EQ(list->count(), 3);
    const QString shown = list->item(2)->text();
    EXPECT_TRUE(shown.startsWith(QString::fromStdString(userFolder.string())))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Outlook 2010: Outlook, Work (Windows partition ") +
                               QString::fromStdString(partition.string()) +
                               QStringLiteral(", read-only)")))
        << shown.toStdString();

    list->setCurrentRow(2);
    clickWhenShown("cmdOpen");
    chooser.exec();
    const auto chosen = chooser.Chosen();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, MachineSource::WindowsUser(userFolder, partition));

    // The start it leads to reads that folder and its partition, and writes
    // nothing there.
    const std::string ntuserBefore = readWholeFile(userFolder / "NTUSER.DAT");
    std::string arguments;
    for (const std::string& argument : MachineArguments(*chosen))
        arguments += " '" + argument + "'";
    const CommandRun listed =
        RunShell(std::string(TRELMIG_BINARY) + arguments + " --list-profiles");
    EXPECT_EQ(listed.status, 0) << listed.output;
    EXPECT_NE(listed.output.find("Windows user folder: " + userFolder.string()), std::string::npos)
        << listed.output;
    EXPECT_NE(listed.output.find("Work"), std::string::npos) << listed.output;
    EXPECT_EQ(readWholeFile(userFolder / "NTUSER.DAT"), ntuserBefore);
}

TEST_F(WindowsPartitionChooserTest, TheWindowHandsAChosenUserFolderOnWithoutRememberingIt) {
    const std::vector<FoundWindowsUser> users = FindWindowsUsers({media});
    ASSERT_EQ(users.size(), 1u);
    // The window open on the user folder: the chooser starts on it.
    PrefixChooser chooser(found, users, userFolder, prompter);
    EXPECT_EQ(control<QListWidget>(&chooser, "lstPrefixes")->currentRow(), 2);

    open();
    std::vector<MachineSource> opened;
    const MachineSource windowsUser = MachineSource::WindowsUser(userFolder, partition);
    window->choosePrefix = [&windowsUser] { return windowsUser; };
    window->openMachine = [&opened](const MachineSource& machine) { opened.push_back(machine); };
    child<QAction>("openprefix")->trigger();
    EXPECT_EQ(opened, std::vector<MachineSource>{windowsUser});
    // Read for that start only: the next start opens the prefix it would have.
    EXPECT_EQ(LoadRememberedPrefix(), std::nullopt);
    EXPECT_TRUE(prompter.messages.empty());
}
