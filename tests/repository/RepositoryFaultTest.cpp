#include "BorgRepositoryFixture.h"
#include "SamplePrefixCopy.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

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

    // The unattended line of the sample's profile into the repository.
    std::string backUpLine(const SamplePrefixCopy& sample, const std::string& environment = "") {
        return "exec env " + environment + "HOME='" + work_.path().string() + "' XDG_STATE_HOME='" +
               (work_.path() / "state").string() + "' " TRELMIG_BINARY " --prefix '" +
               sample.root.string() + "' --repository '" + repository_.url +
               "' sf=Outlook xm=10000000 ps= bf= </dev/null";
    }
    CommandRun backUp(const SamplePrefixCopy& sample) { return RunShell(backUpLine(sample)); }
    // The same, started in the background; the program's process id.
    pid_t startBackUp(const SamplePrefixCopy& sample, const std::string& environment) {
        const std::string line = backUpLine(sample, environment) + " >'" +
                                 (work_.path() / "killed.log").string() + "' 2>&1";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }
    static std::string realBorg() {
        std::string path = RunShell("command -v borg").output;
        return path.substr(0, path.find('\n'));
    }
    // The number of the repository's newest index: borg writes one at each
    // commit, a checkpoint's too.
    int newestIndex() {
        int newest = -1;
        for (const auto& entry : fs::directory_iterator(repository_.url))
            if (const auto name = entry.path().filename().string(); name.starts_with("index."))
                newest = std::max(newest, std::atoi(name.c_str() + 6));
        return newest;
    }
    // Lets the backup's borg create go a fiftieth of a second at a time, stopped
    // five times as long in between, until it committed a checkpoint, and leaves
    // it stopped there; its process id. Its clock runs on while it is stopped:
    // it checkpoints each second by that clock, long before it could finish.
    pid_t awaitCheckpointThenStop(pid_t run, const fs::path& borgPid) {
        while (!fs::exists(borgPid) || readWholeFile(borgPid).empty()) {
            if (::waitpid(run, nullptr, WNOHANG) == run) {
                ADD_FAILURE() << "the run ended before borg create began: "
                              << readWholeFile(work_.path() / "killed.log");
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const pid_t borg = readPid(borgPid);
        stop(borg);
        const int before = newestIndex();
        while (newestIndex() == before) {
            ::kill(borg, SIGCONT);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const bool stopped = stop(borg);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!stopped) {
                ADD_FAILURE() << "borg create ended before a checkpoint: "
                              << readWholeFile(work_.path() / "killed.log");
                return -1;
            }
        }
        return borg;
    }
    // Stops a process and waits until it is stopped; false when it is gone.
    static bool stop(pid_t pid) {
        ::kill(pid, SIGSTOP);
        for (;;) {
            const std::string stat = readWholeFile("/proc/" + std::to_string(pid) + "/stat");
            const auto state = stat.rfind(") ");
            if (state == std::string::npos || stat[state + 2] == 'Z')
                return false;
            if (stat[state + 2] == 'T')
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
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

// A backup into the repository killed, like a power cut, once borg had stored
// a checkpoint of it: the next run of its source leaves no checkpoint behind.
TEST_F(RepositoryFaultTest, TheCheckpointOfAKilledBackupGoesWithTheNextRunOfItsSource) {
    SamplePrefixCopy sample;
    const fs::path dataFile = sample.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst";
    ASSERT_EQ(backUp(sample).status, 0);
    const std::string earlier = names(*ListVersions(repository_, ""));
    // Big enough that borg is at it for seconds; random, so no chunk repeats.
    ASSERT_EQ(RunShell("head -c 500M /dev/urandom > '" + dataFile.string() + "'").status, 0);

    // borg's checkpoints come every 30 minutes unless asked otherwise: a borg
    // first on the path asks for one a second and tells its process id.
    const fs::path wrapper = folder("wrapper");
    const fs::path borgPid = work_.path() / "create.pid";
    writeFile(wrapper / "borg",
              "#!/bin/sh\nn=$#\nfor a in \"$@\"; do\n  set -- \"$@\" \"$a\"\n"
              "  [ \"$a\" = create ] && { set -- \"$@\" --checkpoint-interval 1; echo $$ > '" +
                  borgPid.string() + "'; }\ndone\nshift $n\nexec " + realBorg() + " \"$@\"\n");
    fs::permissions(wrapper / "borg", fs::perms::owner_all);
    // borg, orphaned by the kill, becomes this process's child and is reaped
    // here: a process that is gone, not a zombie, is what makes its lock stale.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const pid_t run = startBackUp(sample, "PATH='" + wrapper.string() + "':\"$PATH\" ");
    const pid_t borg = awaitCheckpointThenStop(run, borgPid);
    ::kill(run, SIGKILL);
    ::waitpid(run, nullptr, 0);
    ASSERT_GT(borg, 0);
    // The run is gone: borg is this process's child now.
    ::kill(borg, SIGKILL);
    ::waitpid(borg, nullptr, 0);
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    const auto before = RunShell("borg list --short --consider-checkpoints " + repository_.url);
    ASSERT_NE(before.output.find(".checkpoint"), std::string::npos) << before.output;

    const CommandRun next = backUp(sample);
    ASSERT_EQ(next.status, 0) << next.output;
    const auto after = RunShell("borg list --short --consider-checkpoints " + repository_.url);
    EXPECT_EQ(after.output.find(".checkpoint"), std::string::npos) << after.output;
    const auto versions = ListVersions(repository_, "");
    ASSERT_TRUE(versions.has_value()) << versions.error().message;
    EXPECT_EQ(versions->size(), 3u) << names(*versions);
    EXPECT_TRUE(names(*versions).starts_with(earlier)) << names(*versions);
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

// The policy keeps what it keeps of .kvx versions: the newest of each of the
// last two days. borg prune's own rules would also keep the oldest version.
TEST_F(RepositoryFaultTest, PruningFollowsThePolicyAsKvxVersionsDo) {
    for (const VersionTime time :
         {VersionTime{2026, 1, 2, 9, 0, 0}, VersionTime{2026, 1, 2, 9, 0, 5},
          VersionTime{2026, 1, 3, 9, 0, 0}})
        ASSERT_TRUE(CreateVersion(repository_, "", request(stage_, "P", time)));
    const KeepPolicy twoDays{.last = 1, .daily = 2, .weekly = 0, .monthly = 0};
    const auto pruned =
        PruneVersions(repository_, "", RepositorySourceName("host-a", ".wine", "P"), twoDays);
    ASSERT_TRUE(pruned.has_value()) << pruned.error().message;
    std::string removed;
    for (const auto& name : pruned->removed)
        removed += name + " ";
    EXPECT_EQ(pruned->removed.size(), 2u) << removed;
    EXPECT_NE(removed.find("-P-2026-01-01T09:00:00"), std::string::npos) << removed;
    EXPECT_NE(removed.find("-P-2026-01-02T09:00:00"), std::string::npos) << removed;
    const auto left = names(*ListVersions(repository_, ""));
    EXPECT_NE(left.find("-P-2026-01-02T09:00:05 "), std::string::npos) << left;
    EXPECT_NE(left.find("-P-2026-01-03T09:00:00 "), std::string::npos) << left;
    EXPECT_EQ(std::count(left.begin(), left.end(), ' '), 2) << left;
    EXPECT_EQ(borgCheck("").status, 0);
}

// borg ends a create that left a file out with its warning status: the version
// is not whole, and the backup fails with borg's words rather than succeed.
TEST_F(RepositoryFaultTest, AFileBorgLeftOutFailsTheVersionNamingIt) {
    auto missing = request(stage_, "P", {2026, 1, 2, 9, 0, 0});
    missing.entries = {"vastrel.dat", "Outlook.pst"};
    const auto made = CreateVersion(repository_, "", missing);
    ASSERT_FALSE(made.has_value());
    const std::string& said = made.error().message;
    EXPECT_NE(said.find("could not store every file"), std::string::npos) << said;
    EXPECT_NE(said.find("Outlook.pst: stat: [Errno 2] No such file or directory"),
              std::string::npos)
        << said;
    expectEarlierIntact();
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
