#include "MainWindowFixture.h"

#include <QAction>

using namespace trelmig;

TEST_F(MainWindowTest, WhenNoBrowserShowsTheHelpTheMessageNamesItsFile) {
    open();
    SetUrlOpener([](const QUrl&) { return false; });
    child<QAction>("helpfile")->trigger();
    const QString page = HelpFilePath();
    ASSERT_FALSE(page.isEmpty());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find(page.toStdString()), std::string::npos)
        << prompter.messages[0].text;
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
}

// The opener's own answer counts: xdg-open that finds no browser fails,
// and the message with the help file's path then shows.
TEST(HelpOpener, AFailingOpenerIsAFailureAndOneAtWorkIsNot) {
    guiApp();
    const QUrl page = QUrl::fromLocalFile(QStringLiteral("/usr/share/trelmig/help/index.html"));
    EXPECT_FALSE(StartOpener(QStringLiteral("false"), page, 3000));
    EXPECT_FALSE(StartOpener(QStringLiteral("/nonexistent/xdg-open"), page, 3000));
    EXPECT_TRUE(StartOpener(QStringLiteral("true"), page, 3000));
    EXPECT_TRUE(StartOpener(QStringLiteral("sleep"), QUrl(QStringLiteral("5")), 200));
}
