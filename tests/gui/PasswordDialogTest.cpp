#include "WindowTestSupport.h"

#include "gui/PasswordDialog.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace trelmig;

class PasswordPromptTest : public ::testing::Test {
protected:
    void SetUp() override { guiApp(); }
    std::string password;
};

TEST_F(PasswordPromptTest, EnterInThePasswordBoxIsOk) {
    password = "earlier";
    PasswordDialog prompt(password);
    prompt.show();
    EXPECT_TRUE(control<QLineEdit>(&prompt, "txtPassword")->text().isEmpty());
    typeText(control<QLineEdit>(&prompt, "txtPassword"), QStringLiteral("s3cret"));
    EXPECT_EQ(control<QLineEdit>(&prompt, "txtPassword")->displayText(), QStringLiteral("******"));
    pressKey(control<QLineEdit>(&prompt, "txtPassword"), Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(prompt.result(), QDialog::Accepted);
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_EQ(password, "s3cret");
}

TEST_F(PasswordPromptTest, EnterAnywhereIsOkAndEscapeIsCancel) {
    {
        PasswordDialog prompt(password);
        prompt.show();
        typeText(control<QLineEdit>(&prompt, "txtPassword"), QStringLiteral("typed"));
        pressKey(&prompt, Qt::Key_Enter, QStringLiteral("\r"));
        EXPECT_EQ(prompt.result(), QDialog::Accepted);
        EXPECT_EQ(password, "typed");
    }
    PasswordDialog prompt(password);
    prompt.show();
    typeText(control<QLineEdit>(&prompt, "txtPassword"), QStringLiteral("other"));
    pressKey(control<QLineEdit>(&prompt, "txtPassword"), Qt::Key_Escape);
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_EQ(prompt.result(), QDialog::Rejected);
    EXPECT_EQ(password, "typed");
}

TEST_F(PasswordPromptTest, OpensWithTheFocusInThePasswordBoxThenOkThenCancel) {
    PasswordDialog prompt(password);
    EXPECT_EQ(prompt.windowTitle(), QStringLiteral("Please enter password"));
    EXPECT_EQ(control<QGroupBox>(&prompt, "Frame1")->title(), QStringLiteral("Security"));
    EXPECT_EQ(control<QLabel>(&prompt, "SkinLabel1")->text(),
              QStringLiteral("Please enter password:"));
    EXPECT_EQ(control<QPushButton>(&prompt, "cmdOK")->text(), QStringLiteral("OK"));
    EXPECT_EQ(control<QPushButton>(&prompt, "cmdExit")->text(), QStringLiteral("Cancel"));
    prompt.show();
    // What the user types at once lands in the box.
    ASSERT_EQ(prompt.focusWidget(), control<QLineEdit>(&prompt, "txtPassword"));
    typeText(prompt.focusWidget(), QStringLiteral("abc"));
    EXPECT_EQ(control<QLineEdit>(&prompt, "txtPassword")->text(), QStringLiteral("abc"));
    pressKey(prompt.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(prompt.focusWidget(), control<QPushButton>(&prompt, "cmdOK"));
    pressKey(prompt.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(prompt.focusWidget(), control<QPushButton>(&prompt, "cmdExit"));
    pressKey(prompt.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(prompt.focusWidget(), control<QLineEdit>(&prompt, "txtPassword"));
}

TEST_F(PasswordPromptTest, TakesPasswordsOfAnyLengthAsTheBackupFieldsDo) {
    PasswordDialog prompt(password);
    prompt.show();
    const QString longPassword = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
    typeText(control<QLineEdit>(&prompt, "txtPassword"), longPassword);
    EXPECT_EQ(control<QLineEdit>(&prompt, "txtPassword")->text(), longPassword);
    control<QPushButton>(&prompt, "cmdOK")->click();
    EXPECT_EQ(password, longPassword.toStdString());
}

TEST_F(PasswordPromptTest, CancelKeepsTheEarlierPasswordAndTheNextPromptStartsEmpty) {
    DialogPasswordPrompt ask(nullptr);
    ModalAnswerer okWithText([](QWidget* modal) {
        auto* prompt = qobject_cast<PasswordDialog*>(modal);
        if (!prompt)
            return false;
        typeText(control<QLineEdit>(prompt, "txtPassword"), QStringLiteral("first"));
        control<QPushButton>(prompt, "cmdOK")->click();
        return true;
    });
    EXPECT_EQ(ask.AskPassword(), std::optional<std::string>("first"));

    QString seenText = QStringLiteral("unset");
    ModalAnswerer cancel([&](QWidget* modal) {
        auto* prompt = qobject_cast<PasswordDialog*>(modal);
        if (!prompt)
            return false;
        seenText = control<QLineEdit>(prompt, "txtPassword")->text();
        typeText(control<QLineEdit>(prompt, "txtPassword"), QStringLiteral("second"));
        control<QPushButton>(prompt, "cmdExit")->click();
        return true;
    });
    EXPECT_EQ(ask.AskPassword(), std::nullopt);
    EXPECT_TRUE(seenText.isEmpty());
    EXPECT_EQ(ask.LastTyped(), "first");
}
