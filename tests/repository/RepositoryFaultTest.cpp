#include "BorgRepositoryFixture.h"
#include "SamplePrefixCopy.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <regex>
#include <sys/mount.h>
#include <thread>

using namespace trelmig;

namespace {

// Waits, a tenth of a second at a time, until the file holds the text; false
// when it never does within the bound.
bool waitForText(const std::filesystem::path& file, const std::string& pattern, int tenths = 1200) {
    const std::regex wanted(pattern);
    for (int i = 0; i < tenths; ++i) {
        if (std::regex_search(readWholeFile(file), wanted))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

int readPid(const std::filesystem::path& file) {
    return std::stoi(readWholeFile(file));
}

std::string names(const std::vector<RepositoryVersion>& versions) {
    std::string text;
    for (const auto& v : versions)
        text += v.name + " ";
    return text;
}

} // namespace

class RepositoryFaultTest : public BorgRepositoryFixture {
protected:
    void SetUp() override {
        BorgRepositoryFixture::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(MakeRepository(repository_, "").has_value());
        stage_ = folder("stage");
        writeFile(stage_ / "vastrel.dat", "[Info]\n");
        ASSERT_TRUE(CreateVersion(repository_, "", request(stage_, "P", {2026, 1, 1, 9, 0, 0})));
    }
    // The earlier version is still there, and borg finds nothing wrong.
    void expectEarlierIntact() {
        const auto versions = ListVersions(repository_, "");
        ASSERT_TRUE(versions.has_value()) << versions.error().message;
        EXPECT_NE(names(*versions).find("-P-2026-01-01T09:00:00"), std::string::npos);
        const auto check = borgCheck("");
        EXPECT_EQ(check.status, 0) << check.output;
    }
    // Starts `borg with-lock REPO sleep 300` in the background; its process
    // id once it holds the lock.
    int holdLock() {
        const auto pidFile = work_.path() / "holder.pid";
        RunShell("borg with-lock " + repository_.url + " sleep 300 >/dev/null 2>&1 & echo $! > " +
                 pidFile.string());
        for (int i = 0; i < 1200 && !std::filesystem::exists(repository_.url + "/lock.roster"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return readPid(pidFile);
    }

    std::filesystem::path stage_;
};

TEST_F(RepositoryFaultTest, ALiveLockIsWaitedForThenRefusedNamingItsHolder) {
    const int holder = holdLock();
    const auto refused =
        CreateVersion(repository_, "", request(stage_, "P", {2026, 1, 2, 9, 0, 0}));
    // The holder ends normally once its command ends: the lock goes with it.
    RunShell("pkill -P " + std::to_string(holder) + "; while kill -0 " + std::to_string(holder) +
             " 2>/dev/null; do sleep 0.1; done");
    ASSERT_FALSE(refused.has_value());
    EXPECT_NE(refused.error().message.find("locked by another run (process " +
                                           std::to_string(holder) + " on host "),
              std::string::npos)
        << refused.error().message;
    expectEarlierIntact();
}

TEST_F(RepositoryFaultTest, TheStaleLockOfAKilledRunIsBrokenAndSaidSo) {
    const int holder = holdLock();
    RunShell("kill -9 " + std::to_string(holder) + "; pkill -9 -P " + std::to_string(holder));
    RunShell("while kill -0 " + std::to_string(holder) + " 2>/dev/null; do sleep 0.1; done");
    ASSERT_TRUE(std::filesystem::exists(repository_.url + "/lock.exclusive"));
    std::string notes;
    const auto made =
        CreateVersion(repository_, "", request(stage_, "P", {2026, 1, 2, 9, 0, 0}),
                      [&](const RepositoryProgress& p) { notes += p.message + "\n"; });
    ASSERT_TRUE(made.has_value()) << made.error().message;
    EXPECT_NE(notes.find("stale lock"), std::string::npos) << notes;
    expectEarlierIntact();
}

// Off for now: the process id the shell hands back does not reach the borg it
// started here, so the kill misses and borg completes its version.
TEST_F(RepositoryFaultTest, DISABLED_TheCheckpointOfAKilledBackupGoesWithTheNextRunOfItsSource) {
    // A backup of the same source killed once borg had written a checkpoint.
    const std::string killed =
        RepositoryVersionName(RepositorySourceName("host-a", ".wine", "P"), {2026, 1, 2, 9, 0, 0});
    const auto err = work_.path() / "killed.err";
    const auto pid = work_.path() / "killed.pid";
    // The data comes at most 5 MB a second: once 30 MB were read, borg has
    // written checkpoints (one a second) for certain. borg tells its own
    // process id: the shell's $! of a pipeline may be another's.
    RunShell("cd " + stage_.string() +
             " && (for i in $(seq 1 600); do head -c 262144 /dev/urandom; sleep 0.05; done) | "
             "sh -c 'echo $$ > " +
             pid.string() +
             "; exec borg --log-json create --checkpoint-interval 1 --progress "
             "--stdin-name big.dat " +
             repository_.url + "::" + killed + " - 2>" + err.string() + "' >/dev/null 2>&1 &");
    ASSERT_TRUE(waitForText(err, R"("original_size": ([3-9]\d{7}|\d{9}))")) << readWholeFile(err);
    ::kill(readPid(pid), SIGKILL);
    RunShell("while kill -0 " + std::to_string(readPid(pid)) + " 2>/dev/null; do sleep 0.1; done");
    const auto before = RunShell("borg list --short --consider-checkpoints " + repository_.url);
    ASSERT_NE(before.output.find(killed + ".checkpoint"), std::string::npos) << before.output;

    const auto made = CreateVersion(repository_, "", request(stage_, "P", {2026, 1, 3, 9, 0, 0}));
    ASSERT_TRUE(made.has_value()) << made.error().message;
    const auto after = RunShell("borg list --short --consider-checkpoints " + repository_.url);
    EXPECT_EQ(after.output.find(".checkpoint"), std::string::npos) << after.output;
    expectEarlierIntact();
}

TEST_F(RepositoryFaultTest, PruningKeepsToItsSourceAndAnAppendOnlyRepositoryIsSaidSo) {
    ASSERT_TRUE(CreateVersion(repository_, "", request(stage_, "P", {2026, 1, 2, 9, 0, 0})));
    ASSERT_TRUE(CreateVersion(repository_, "", request(stage_, "P", {2026, 1, 3, 9, 0, 0})));
    // Another source whose name begins with this one's, but for the dash.
    ASSERT_TRUE(CreateVersion(repository_, "", request(stage_, "P-2", {2026, 1, 1, 8, 0, 0})));
    const KeepPolicy lastOnly{.last = 1, .daily = 0, .weekly = 0, .monthly = 0};
    const auto source = RepositorySourceName("host-a", ".wine", "P");
    const auto pruned = PruneVersions(repository_, "", source, lastOnly);
    ASSERT_TRUE(pruned.has_value()) << pruned.error().message;
    EXPECT_EQ(pruned->removed.size(), 2u);
    EXPECT_FALSE(pruned->appendOnly);
    auto left = names(*ListVersions(repository_, ""));
    EXPECT_NE(left.find("-P-2026-01-03T09:00:00"), std::string::npos) << left;
    EXPECT_NE(left.find("-P%2D2-2026-01-01T08:00:00"), std::string::npos) << left;
    EXPECT_EQ(left.find("-P-2026-01-01T09:00:00"), std::string::npos) << left;

    ASSERT_EQ(RunShell("borg config " + repository_.url + " append_only 1").status, 0);
    ASSERT_TRUE(CreateVersion(repository_, "", request(stage_, "P", {2026, 1, 4, 9, 0, 0})));
    const auto hidden = PruneVersions(repository_, "", source, lastOnly);
    ASSERT_TRUE(hidden.has_value()) << hidden.error().message;
    EXPECT_TRUE(hidden->appendOnly);
    EXPECT_EQ(hidden->freedBytes, 0u);
    left = names(*ListVersions(repository_, ""));
    EXPECT_EQ(left.find("-P-2026-01-03T09:00:00"), std::string::npos) << left;
    EXPECT_EQ(borgCheck("").status, 0);
}

TEST_F(RepositoryFaultTest, AFullDiskFailsTheVersionAndKeepsTheEarlierOnes) {
    const auto small = folder("small");
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=24m") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here (needs root): " << std::strerror(errno);
    repository_ = {(small / "repo").string()};
    ASSERT_TRUE(MakeRepository(repository_, "").has_value());
    ASSERT_TRUE(CreateVersion(repository_, "", request(stage_, "P", {2026, 1, 1, 9, 0, 0})));
    const auto big = folder("big");
    RunShell("head -c 40M /dev/urandom > " + (big / "data.pst").string());
    const auto full = CreateVersion(repository_, "", request(big, "P", {2026, 1, 2, 9, 0, 0}));
    ASSERT_FALSE(full.has_value());
    EXPECT_NE(full.error().message.find("is full"), std::string::npos) << full.error().message;
    expectEarlierIntact();
    ::umount2(small.c_str(), MNT_DETACH);
}
