#include "RestoreSuite.h"

using namespace trelmig;

TEST_P(RestoreSuite, WithNoLoggedStepTheMessageEndsAfterTheLineBreak) {
    backUp(items({1})); // holds the profile and the accounts
    ASSERT_TRUE(inspect(archive).accepted);
    // Box 4 is not held, but it makes the profile step run; nothing is logged.
    inspected.flags = "1000000000";
    restore(items({4}));
    EXPECT_EQ(prompter.messages.back().text, "The Restore was Completed!\t\t\t\r\n");
}

TEST_P(RestoreSuite, RestoreNeedsAnInspectedFileAndATickedBox) {
    openTarget();
    EXPECT_FALSE(restore(items({0})).started);
    EXPECT_EQ(prompter.messages.back().text, "Please choose the backup file to restore from.");
    EXPECT_EQ(prompter.messages.back().icon, MessageIcon::Exclamation);
    backUp(items({6}));
    ASSERT_TRUE(inspect(archive).accepted);
    EXPECT_FALSE(restore(items({})).started);
    EXPECT_EQ(prompter.messages.back().text, "Please select at least one item.");
}
