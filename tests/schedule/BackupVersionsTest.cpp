#include "schedule/BackupVersions.h"

#include "CronShell.h"
#include "backup/BackupRun.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <set>

using namespace trelmig;
namespace fs = std::filesystem;

// A year of nightly backups at 21:30 with the default policy (3 last, 7 daily,
// 4 weekly, 6 monthly), old versions pruned after each run as the unattended
// run does: what is left on New Year's Eve.
TEST(BackupVersions, AYearOfNightlyBackupsLeavesWhatThePolicyKeeps) {
    WorkFolder dir;
    const std::string chosen = (dir.path() / "outlook.kvx").string();
    std::ofstream(dir.path() / "outlook.kvx") << "the file chosen before versions were kept";
    std::ofstream(dir.path() / "notes.txt") << "not a backup";
    using namespace std::chrono;
    for (sys_days day = sys_days(2026y / January / 1); day <= sys_days(2026y / December / 31);
         day += days(1)) {
        const year_month_day d(day);
        std::tm t{};
        t.tm_year = static_cast<int>(d.year()) - 1900;
        t.tm_mon = static_cast<int>(static_cast<unsigned>(d.month())) - 1;
        t.tm_mday = static_cast<int>(static_cast<unsigned>(d.day()));
        t.tm_hour = 21, t.tm_min = 30;
        const std::string version = VersionTarget(chosen, t);
        std::ofstream(version) << "verified";
        ASSERT_TRUE(PruneVersions(chosen, KeepPolicy{}, version).empty());
    }
    const std::set<std::string> expected = {
        "notes.txt", "outlook.kvx",
        // one a month: the newest of July to November (December's is below)
        "outlook-2026-07-31-213000.kvx", "outlook-2026-08-31-213000.kvx",
        "outlook-2026-09-30-213000.kvx", "outlook-2026-10-31-213000.kvx",
        "outlook-2026-11-30-213000.kvx",
        // one a week: the Sundays of the ISO weeks 50 and 51 (52 and 53 are below)
        "outlook-2026-12-13-213000.kvx", "outlook-2026-12-20-213000.kvx",
        // one a day for 7 days, which holds the last 3
        "outlook-2026-12-25-213000.kvx", "outlook-2026-12-26-213000.kvx",
        "outlook-2026-12-27-213000.kvx", "outlook-2026-12-28-213000.kvx",
        "outlook-2026-12-29-213000.kvx", "outlook-2026-12-30-213000.kvx",
        "outlook-2026-12-31-213000.kvx"};
    EXPECT_EQ(NamesIn(dir.path()), expected);
    for (const auto& v : VersionsOf(chosen))
        std::cout << fs::path(v.path).filename().string() << '\n';
}

// The version just written stays even when its clock was set back.
TEST(BackupVersions, TheNewVersionIsNeverRemoved) {
    WorkFolder dir;
    const std::string chosen = (dir.path() / "b.kvx").string();
    for (const char* name : {"b-2030-01-01-000000.kvx", "b-2020-01-01-000000.kvx"})
        std::ofstream(dir.path() / name) << "x";
    EXPECT_TRUE(
        PruneVersions(chosen, {0, 0, 0, 0}, (dir.path() / "b-2020-01-01-000000.kvx").string())
            .empty());
    EXPECT_EQ(NamesIn(dir.path()),
              (std::set<std::string>{"b-2030-01-01-000000.kvx", "b-2020-01-01-000000.kvx"}));
}

// The restore tab's list: from the chosen name or from any version of it,
// every version newest first, partial ones marked, nothing of other backups.
TEST(BackupVersions, TheVersionsBesideABackupAreFoundFromAnyOfThem) {
    WorkFolder dir;
    for (const char* name :
         {"b-2026-12-01-213000.kvx", "b-2026-12-03-213000.partial.kvx", "b-2026-12-02-213000.kvx",
          "b-2026-12-03-213000.kvx", "b.kvx", "b.partial.kvx", "bb-2026-12-04-213000.kvx",
          "c-2026-12-05-213000.kvx"})
        std::ofstream(dir.path() / name) << "x";
    const auto namesOf = [](const std::vector<BackupVersion>& versions) {
        std::vector<std::string> names;
        for (const auto& v : versions)
            names.push_back(fs::path(v.path).filename().string() + (v.partial ? " partial" : ""));
        return names;
    };
    const std::vector<std::string> expected = {
        "b-2026-12-03-213000.kvx", "b-2026-12-03-213000.partial.kvx partial",
        "b-2026-12-02-213000.kvx", "b-2026-12-01-213000.kvx"};
    for (const char* from : {"b.kvx", "b-2026-12-01-213000.kvx", "b-2026-12-03-213000.partial.kvx"})
        EXPECT_EQ(namesOf(VersionsBeside((dir.path() / from).string())), expected) << from;
    // The policy never counts a partial one.
    EXPECT_EQ(VersionsOf((dir.path() / "b.kvx").string()).size(), 3u);
    EXPECT_TRUE(VersionsBeside((dir.path() / "other.kvx").string()).empty());
}

// After a versioned backup: a partial new version is set aside and prunes
// nothing; a sound one prunes what the policy does not keep and the partial
// versions older than itself (one of a clock set back stays).
TEST(BackupVersions, ANewVersionIsSetAsideWhenPartialAndPrunesWhenSound) {
    WorkFolder dir;
    const std::string chosen = (dir.path() / "b.kvx").string();
    for (const char* name : {"b-2026-12-01-213000.kvx", "b-2026-12-02-213000.kvx"})
        std::ofstream(dir.path() / name) << "x";
    const std::string partialVersion = (dir.path() / "b-2026-12-03-213000.kvx").string();
    std::ofstream(partialVersion) << "x";
    BackupRunResult partial;
    partial.written = true;
    partial.archivePath = partialVersion;
    partial.itemsFailed = {0};
    EXPECT_TRUE(SettleNewVersion(chosen, {1, 0, 0, 0}, partialVersion, partial).empty());
    EXPECT_EQ(partial.archivePath, (dir.path() / "b-2026-12-03-213000.partial.kvx").string());
    EXPECT_EQ(NamesIn(dir.path()),
              (std::set<std::string>{"b-2026-12-01-213000.kvx", "b-2026-12-02-213000.kvx",
                                     "b-2026-12-03-213000.partial.kvx"}));

    BackupRunResult failed;
    EXPECT_TRUE(SettleNewVersion(chosen, {1, 0, 0, 0}, partialVersion, failed).empty());
    EXPECT_EQ(NamesIn(dir.path()).size(), 3u);

    const std::string soundVersion = (dir.path() / "b-2026-12-04-213000.kvx").string();
    std::ofstream(soundVersion) << "x";
    std::ofstream(dir.path() / "b-2026-12-05-213000.partial.kvx") << "x";
    BackupRunResult sound;
    sound.written = true;
    sound.archivePath = soundVersion;
    EXPECT_TRUE(SettleNewVersion(chosen, {1, 0, 0, 0}, soundVersion, sound).empty());
    EXPECT_EQ(sound.archivePath, soundVersion);
    EXPECT_EQ(NamesIn(dir.path()), (std::set<std::string>{"b-2026-12-04-213000.kvx",
                                                          "b-2026-12-05-213000.partial.kvx"}));
}
