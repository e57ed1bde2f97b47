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
