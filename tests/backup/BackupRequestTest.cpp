// The request a backup is made from, as the unattended run and the window
// order it.
#include "backup/BackupRequest.h"

#include "app/Environment.h"

#include "RecordingPrompter.h"
#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

using namespace trelmig;

TEST(BackupRequest, AKeptVersionGoesBesideTheChosenFileUnderTheRequestsTime) {
    SamplePrefixCopy sample;
    RecordingPrompter prompter;
    Environment env(WinePrefix(sample.root), prompter);
    env.Discover();
    const std::string chosen = (sample.work.path() / "mail.kvx").string();
    BackupOrder order{.profile = "Outlook",
                      .items = *ItemMask::Parse("10000001"),
                      .chosenFile = chosen,
                      .password = "pw",
                      .description = "Automatic Backup"};

    const BackupRequest replacing = MakeBackupRequest(order, env);
    EXPECT_EQ(replacing.targetFile, chosen);
    EXPECT_EQ(replacing.items, order.items.Boxes());
    EXPECT_EQ(replacing.password, "pw");
    EXPECT_FALSE(replacing.outlookDisplayName.empty());

    order.keepVersions = true;
    const BackupRequest versioned = MakeBackupRequest(order, env);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "-%Y-%m-%d-%H%M%S.kvx", &versioned.time);
    EXPECT_EQ(versioned.targetFile, (sample.work.path() / ("mail" + std::string(stamp))).string());
}
