#include "core/KeepPolicy.h"

#include <gtest/gtest.h>

using namespace trelmig;

namespace {

struct Case {
    const char* what;
    KeepPolicy policy;
    std::vector<VersionTime> newestFirst;
    std::vector<bool> kept;
};

} // namespace

// The rules as restic and Borg apply them, on versions newest first.
TEST(KeepPolicy, KeepsWhatEachRuleAsksFor) {
    const Case cases[] = {
        {"last 2 of three in one day",
         {2, 0, 0, 0},
         {{2026, 3, 4, 21, 0, 0}, {2026, 3, 4, 12, 0, 0}, {2026, 3, 4, 9, 0, 0}},
         {true, true, false}},
        {"one a day: the newest of each day",
         {0, 2, 0, 0},
         {{2026, 3, 4, 21, 0, 0},
          {2026, 3, 4, 9, 0, 0},
          {2026, 3, 3, 21, 0, 0},
          {2026, 3, 2, 21, 0, 0}},
         {true, false, true, false}},
        {"days without a version do not count",
         {0, 2, 0, 0},
         {{2026, 3, 10, 0, 0, 0}, {2026, 3, 1, 0, 0, 0}, {2026, 2, 1, 0, 0, 0}},
         {true, true, false}},
        {"ISO weeks: Sunday 2027-01-03 is in the week of Monday 2026-12-28",
         {0, 0, 2, 0},
         {{2027, 1, 4, 0, 0, 0},
          {2027, 1, 3, 0, 0, 0},
          {2026, 12, 28, 0, 0, 0},
          {2026, 12, 27, 0, 0, 0}},
         {true, true, false, false}},
        {"one a month",
         {0, 0, 0, 2},
         {{2026, 5, 31, 0, 0, 0},
          {2026, 5, 1, 0, 0, 0},
          {2026, 4, 30, 0, 0, 0},
          {2026, 3, 31, 0, 0, 0}},
         {true, false, true, false}},
        {"nothing asked for: the newest stays all the same",
         {0, 0, 0, 0},
         {{2026, 5, 31, 0, 0, 0}, {2026, 5, 30, 0, 0, 0}},
         {true, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeptVersions(c.newestFirst, c.policy), c.kept) << c.what;
}

TEST(KeepPolicy, VersionNamesReadBackAndNothingElseIsAVersion) {
    const VersionTime t{2026, 12, 9, 21, 30, 5};
    EXPECT_EQ(VersionFileName("outlook.kvx", t), "outlook-2026-12-09-213005.kvx");
    EXPECT_EQ(VersionFileName("outlook", t), "outlook-2026-12-09-213005.kvx");
    EXPECT_EQ(VersionOfFileName("outlook.kvx", "outlook-2026-12-09-213005.kvx"), t);
    for (const char* other :
         {"outlook.kvx", "outlook-2026-12-09-213005.partial.kvx", "outlook-2026-02-30-213005.kvx",
          "outlook-2026-12-09-256005.kvx", "outlook-work-2026-12-09-213005.kvx",
          "outlook-2026-12-09-21300x.kvx"})
        EXPECT_FALSE(VersionOfFileName("outlook.kvx", other)) << other;
}

// A partial version is known as one of its backup, and any version leads
// back to the name its versions are kept under.
TEST(KeepPolicy, PartialVersionsAndTheNameOfAVersionsBackup) {
    const VersionTime t{2026, 12, 9, 21, 30, 5};
    EXPECT_EQ(PartialVersionOfFileName("outlook.kvx", "outlook-2026-12-09-213005.partial.kvx"), t);
    EXPECT_FALSE(PartialVersionOfFileName("outlook.kvx", "outlook-2026-12-09-213005.kvx"));
    EXPECT_FALSE(PartialVersionOfFileName("outlook.kvx", "outlook.partial.kvx"));
    EXPECT_FALSE(PartialVersionOfFileName("mail.kvx", "outlook-2026-12-09-213005.partial.kvx"));

    EXPECT_EQ(ChosenNameOfVersion("outlook-2026-12-09-213005.kvx"), "outlook.kvx");
    EXPECT_EQ(ChosenNameOfVersion("my backup-2-2026-12-09-213005.partial.kvx"), "my backup-2.kvx");
    for (const char* other : {"outlook.kvx", "outlook.partial.kvx", "-2026-12-09-213005.kvx",
                              "outlook-2026-13-09-213005.kvx", "outlook-2026-12-09-213005.zip"})
        EXPECT_FALSE(ChosenNameOfVersion(other)) << other;
}

// A policy travels on job lines as options and comes back the same.
TEST(KeepPolicy, OptionsCarryThePolicyAndReadBack) {
    const KeepPolicy policy{5, 0, 12, 24};
    const std::vector<std::string> options = KeepArguments(policy);
    EXPECT_EQ(options, (std::vector<std::string>{"--keep-last", "5", "--keep-daily", "0",
                                                 "--keep-weekly", "12", "--keep-monthly", "24"}));
    EXPECT_EQ(KeepPolicyOfArguments(options), policy);
    // Counts not named keep their defaults; other options are not looked at.
    EXPECT_EQ(KeepPolicyOfArguments({"--windows-user", "/u", "--keep-daily", "2"}),
              (KeepPolicy{3, 2, 4, 6}));
    EXPECT_FALSE(KeepPolicyOfArguments({}));
    EXPECT_FALSE(KeepPolicyOfArguments({"--windows-user", "/u"}));
    EXPECT_FALSE(KeepPolicyOfArguments({"--keep-last", "-1"}));
    EXPECT_FALSE(KeepPolicyOfArguments({"--keep-last", "3x"}));
    EXPECT_EQ(KeepPolicyText(policy), "last 5, daily 0, weekly 12, monthly 24");
}
