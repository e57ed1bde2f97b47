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
    EXPECT_TRUE(prompt.txtPassword->text().isEmpty());
    typeText(prompt.txtPassword, QStringLiteral("s3cret"));
    EXPECT_EQ(prompt.txtPassword->displayText(), QStringLiteral("******"));
    pressKey(prompt.txtPassword, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(prompt.result(), QDialog::Accepted);
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_EQ(password, "s3cret");
}

TEST_F(PasswordPromptTest, EnterAnywhereIsOkAndEscapeIsCancel) {
    {
        PasswordDialog prompt(password);
        prompt.show();
        typeText(prompt.txtPassword, QStringLiteral("typed"));
        pressKey(&prompt, Qt::Key_Enter, QStringLiteral("\r"));
        EXPECT_EQ(prompt.result(), QDialog::Accepted);
        EXPECT_EQ(password, "typed");
    }
    PasswordDialog prompt(password);
    prompt.show();
    typeText(prompt.txtPassword, QStringLiteral("other"));
    pressKey(prompt.txtPassword, Qt::Key_Escape);
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_EQ(prompt.result(), QDialog::Rejected);
    EXPECT_EQ(password, "typed");
}

TEST_F(PasswordPromptTest, OpensWithTheFocusInThePasswordBoxThenOkThenCancel) {
    PasswordDialog prompt(password);
    EXPECT_EQ(prompt.windowTitle(), QStringLiteral("Please enter password"));
    EXPECT_EQ(prompt.Frame1->title(), QStringLiteral("Security"));
    EXPECT_EQ(prompt.SkinLabel1->text(), QStringLiteral("Please enter password:"));
    EXPECT_EQ(prompt.cmdOK->text(), QStringLiteral("OK"));
    EXPECT_EQ(prompt.cmdExit->text(), QStringLiteral("Cancel"));
    prompt.show();
    // What the user types at once lands in the box.
    ASSERT_EQ(prompt.focusWidget(), prompt.txtPassword);
    typeText(prompt.focusWidget(), QStringLiteral("abc"));
    EXPECT_EQ(prompt.txtPassword->text(), QStringLiteral("abc"));
    pressKey(prompt.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(prompt.focusWidget(), prompt.cmdOK);
    pressKey(prompt.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(prompt.focusWidget(), prompt.cmdExit);
    pressKey(prompt.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(prompt.focusWidget(), prompt.txtPassword);
}

TEST_F(PasswordPromptTest, TakesPasswordsOfAnyLengthAsTheBackupFieldsDo) {
    PasswordDialog prompt(password);
    prompt.show();
    const QString longPassword = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
    typeText(prompt.txtPassword, longPassword);
    EXPECT_EQ(prompt.txtPassword->text(), longPassword);
    prompt.cmdOK->click();
    EXPECT_EQ(password, longPassword.toStdString());
}

TEST_F(PasswordPromptTest, CancelKeepsTheEarlierPasswordAndTheNextPromptStartsEmpty) {
    DialogPasswordPrompt ask(nullptr);
    ModalAnswerer okWithText([](QWidget* modal) {
        auto* prompt = qobject_cast<PasswordDialog*>(modal);
        if (!prompt)
            return false;
        typeText(prompt->txtPassword, QStringLiteral("first"));
        prompt->cmdOK->click();
        return true;
    });
    EXPECT_EQ(ask.AskPassword(), std::optional<std::string>("first"));

    QString seenText = QStringLiteral("unset");
    ModalAnswerer cancel([&](QWidget* modal) {
        auto* prompt = qobject_cast<PasswordDialog*>(modal);
        if (!prompt)
            return false;
        seenText = prompt->txtPassword->text();
        typeText(prompt->txtPassword, QStringLiteral("second"));
        prompt->cmdExit->click();
        return true;
    });
    EXPECT_EQ(ask.AskPassword(), std::nullopt);
    EXPECT_TRUE(seenText.isEmpty());
    EXPECT_EQ(ask.LastTyped(), "first");
}
