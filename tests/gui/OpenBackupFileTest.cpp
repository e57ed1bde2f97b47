#include "MainWindowFixture.h"

#include <QCheckBox>
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
        window->cmdTargetFile->click();
        window->Selectallitems->trigger();
        prompter.answer = MessageAnswer::Cancel; // no disc
        window->cmdApply->click();
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
    ASSERT_EQ(window->SSTab1->currentIndex(), 0);
    window->OpenBackupFile(QString::fromStdString(archive));

    EXPECT_EQ(window->SSTab1->currentIndex(), 1);
    EXPECT_EQ(window->cmdApply->text(), QStringLiteral("&Restore Now"));
    EXPECT_TRUE(dialogs.empty()) << "no file dialog is shown";
    EXPECT_EQ(window->txtSourceFile->text().toStdString(), archive);
    EXPECT_FALSE(window->txtPOBinfo->toPlainText().isEmpty());
    EXPECT_FALSE(env->session.bNoSourceFile);
    // What the backup holds; this Outlook has no Personal Address Book.
    for (std::size_t i = 0; i < window->restoreitem.size(); ++i)
        EXPECT_EQ(window->restoreitem[i]->isEnabled(), i != 4) << i;
    EXPECT_TRUE(prompter.messages.empty());

    // "Browse..." still asks with its own dialog afterwards.
    nextFile.clear();
    window->cmdSourceFile->click();
    EXPECT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(window->txtSourceFile->text().isEmpty());
}

TEST_F(OpenBackupFileTest, AFileThatIsNoBackupIsRefusedAsBrowseRefusesIt) {
    open();
    const fs::path junk = prefix.work.path() / "junk.kvx";
    std::ofstream(junk) << "not a zip archive";
    window->OpenBackupFile(QString::fromStdString(junk.string()));
    EXPECT_EQ(window->SSTab1->currentIndex(), 1);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text.rfind("Invalid backup file", 0), 0u)
        << prompter.messages[0].text;
    EXPECT_TRUE(env->session.bNoSourceFile);
    for (QCheckBox* box : window->restoreitem)
        EXPECT_FALSE(box->isEnabled());
}
