#include "MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include <fstream>

namespace fs = std::filesystem;
using namespace trelmig;

class OpenBackupFileTest : public MainWindowTest {
protected:
    std::string archive = (prefix.work.path() / "handed over.kvx").string();

    // An unprotected backup of every available item, made in a window that
    // is closed afterwards.
    void makeBackup() {
        open();
        nextFile = QString::fromStdString(archive);
        child<QPushButton>("cmdTargetFile")->click();
        child<QAction>("Selectallitems")->trigger();
        prompter.answer = MessageAnswer::Cancel; // no disc
        child<QPushButton>("cmdApply")->click();
        finishRun();
        ASSERT_TRUE(fs::is_regular_file(archive));
        window.reset();
        prompter.messages.clear();
        dialogs.clear();
    }
};

TEST_F(OpenBackupFileTest, AFileFromTheCommandLineIsInspectedOnTheRestoreTab) {
    makeBackup();
    open();
    ASSERT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 0);
    window->OpenBackupFile(QString::fromStdString(archive));

    EXPECT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 1);
    EXPECT_EQ(child<QPushButton>("cmdApply")->text(), QStringLiteral("&Restore Now"));
    EXPECT_TRUE(dialogs.empty()) << "no file dialog is shown";
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text().toStdString(), archive);
    EXPECT_FALSE(child<QPlainTextEdit>("txtPOBinfo")->toPlainText().isEmpty());
    EXPECT_TRUE(window->inspected().accepted);
    // What the backup holds; this Outlook has no Personal Address Book.
    for (std::size_t i = 0; i < itemBoxes(window.get(), "restoreitem").size(); ++i)
        EXPECT_EQ(itemBoxes(window.get(), "restoreitem")[i]->isEnabled(), i != 4) << i;
    EXPECT_TRUE(prompter.messages.empty());

    // "Browse..." still asks with its own dialog afterwards.
    nextFile.clear();
    child<QPushButton>("cmdSourceFile")->click();
    EXPECT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(child<QLineEdit>("txtSourceFile")->text().isEmpty());
}

TEST_F(OpenBackupFileTest, RestoreNowAsksFirstFromTheButtonAndTheMenuAndCancelDoesNothing) {
    makeBackup();
    open();
    window->OpenBackupFile(QString::fromStdString(archive));
    ASSERT_TRUE(window->inspected().accepted);
    prompter.answer = MessageAnswer::Cancel;
    child<QPushButton>("cmdApply")->click();
    child<QAction>("restorenow")->trigger();
    ASSERT_EQ(prompter.messages.size(), 2u);
    const std::string profileLine =
        "\r\n\r\nProfile: " + child<QComboBox>("cbTarget")->currentText().toStdString();
    for (const auto& message : prompter.messages) {
        EXPECT_TRUE(message.text.starts_with("The chosen items of the profile will be replaced "
                                             "with those from the selected backup file."))
            << message.text;
        EXPECT_NE(message.text.find(profileLine), std::string::npos) << message.text;
        EXPECT_EQ(message.icon, MessageIcon::Information);
        EXPECT_EQ(message.buttons, MessageButtons::OkCancelDefaultCancel);
    }
    EXPECT_FALSE(window->Busy());
}

TEST_F(OpenBackupFileTest, AFileThatIsNoBackupIsRefusedAsBrowseRefusesIt) {
    open();
    const fs::path junk = prefix.work.path() / "junk.kvx";
    std::ofstream(junk) << "not a zip archive";
    window->OpenBackupFile(QString::fromStdString(junk.string()));
    EXPECT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 1);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text.rfind("Invalid backup file", 0), 0u)
        << prompter.messages[0].text;
    EXPECT_FALSE(window->inspected().accepted);
    for (QCheckBox* box : itemBoxes(window.get(), "restoreitem"))
        EXPECT_FALSE(box->isEnabled());
}
