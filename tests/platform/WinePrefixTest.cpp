#include "platform/WinePrefix.h"
#include "platform/WorkFolder.h"

#include "RealWineserver.h"
#include "ScopedEnv.h"
#include "WineServerLock.h"

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using trelmig::WinePrefix;
using trelmig::WorkFolder;

TEST(WinePrefix, LocateOrder) {
    ScopedEnv prefix("WINEPREFIX", "/srv/bottles/office");
    ScopedEnv home("HOME", "/home/bob");
    EXPECT_EQ(WinePrefix::locate(fs::path("/opt/explicit")).root(), "/opt/explicit");
    EXPECT_EQ(WinePrefix::locate(std::nullopt).root(), "/srv/bottles/office");
    {
        ScopedEnv empty("WINEPREFIX", "");
        EXPECT_EQ(WinePrefix::locate(std::nullopt).root(), "/home/bob/.wine");
    }
    ScopedEnv unset("WINEPREFIX", std::nullopt);
    EXPECT_EQ(WinePrefix::locate(std::nullopt).root(), "/home/bob/.wine");
}

TEST(WinePrefix, DriveLettersFollowDosdevices) {
    WorkFolder work;
    const fs::path root = work.path() / "prefix";
    fs::create_directories(root / "dosdevices");
    fs::create_directories(root / "drive_c" / "windows");
    fs::create_directories(work.path() / "data");
    fs::create_directory_symlink("../drive_c", root / "dosdevices" / "c:");
    fs::create_directory_symlink("/", root / "dosdevices" / "z:");
    fs::create_directory_symlink(work.path() / "data", root / "dosdevices" / "d:");
    fs::create_directory_symlink("../nowhere", root / "dosdevices" / "e:");
    std::ofstream(root / "dosdevices" / "f:") << "not a folder";

    WinePrefix prefix(root);
    const fs::path driveC = fs::canonical(root / "drive_c");
    EXPECT_EQ(prefix.driveRoot('C'), driveC);
    EXPECT_EQ(prefix.driveRoot('c'), driveC);
    EXPECT_EQ(prefix.driveRoot('Z'), fs::path("/"));
    EXPECT_EQ(prefix.driveRoot('d'), fs::canonical(work.path() / "data"));
    EXPECT_EQ(prefix.driveRoot('E'), std::nullopt);
    EXPECT_EQ(prefix.driveRoot('F'), std::nullopt);
    EXPECT_EQ(prefix.driveRoot('Q'), std::nullopt);
    EXPECT_EQ(prefix.driveRoot('1'), std::nullopt);
    EXPECT_EQ(WinePrefix(work.path() / "missing").driveRoot('C'), std::nullopt);
}

TEST(WinePrefix, WineserverLockIsSeenWhileAnotherProcessHoldsIt) {
    WorkFolder work;
    const fs::path root = work.path() / "prefix";
    fs::create_directories(root);
    WinePrefix prefix(root);

    const fs::path tmpBase = fs::path("/tmp") / (".wine-" + std::to_string(getuid()));
    const bool baseExisted = fs::exists(tmpBase);
    const fs::path serverDir = tmpBase / serverDirName(root);
    fs::create_directories(serverDir);
    std::ofstream(serverDir / "lock").put('\0');
    const auto candidates = prefix.serverLockCandidates();
    EXPECT_NE(std::find(candidates.begin(), candidates.end(), serverDir / "lock"),
              candidates.end());

    EXPECT_FALSE(prefix.wineserverRunning());
    {
        LockHolder holder(serverDir / "lock");
        ASSERT_TRUE(holder.locked());
        EXPECT_TRUE(prefix.wineserverRunning());
        holder.stop();
        EXPECT_FALSE(prefix.wineserverRunning());
    }

    fs::remove_all(serverDir);
    if (!baseExisted)
        fs::remove(tmpBase);
}

TEST(WinePrefix, ServerFolderNamedInThePrefixIsACandidate) {
    WorkFolder work;
    const fs::path root = work.path() / "prefix";
    fs::create_directories(root);
    const fs::path elsewhere = work.path() / "servers";
    std::ofstream(root / "wineserver") << elsewhere.string() << "\n";
    WinePrefix prefix(root);

    const fs::path lock = elsewhere / serverDirName(root) / "lock";
    const auto candidates = prefix.serverLockCandidates();
    EXPECT_NE(std::find(candidates.begin(), candidates.end(), lock), candidates.end());

    fs::create_directories(lock.parent_path());
    std::ofstream(lock).put('\0');
    LockHolder holder(lock);
    ASSERT_TRUE(holder.locked());
    EXPECT_TRUE(prefix.wineserverRunning());
}

TEST(WinePrefix, MissingPrefixHasNoServer) {
    WinePrefix prefix("/nonexistent/trelmig-prefix");
    EXPECT_TRUE(prefix.serverLockCandidates().empty());
    EXPECT_FALSE(prefix.wineserverRunning());
}

// A real wineserver for a scratch prefix, in each layout the installed Wine
// makes: Debian's Wine writes only the name of its "wine-XXXXXX" base into
// the prefix, relative to $TMPDIR or /tmp; with /run/user/<uid> present it
// uses that instead.
class RealWineserverLayout : public ::testing::TestWithParam<const char*> {};

TEST_P(RealWineserverLayout, IsSeenWhileItRunsAndNotOnceItStopped) {
    const auto program = RealWineserver::program();
    if (!program)
        GTEST_SKIP() << "Wine is not installed";
    WorkFolder work;
    const fs::path root = work.path() / "prefix";
    fs::create_directories(root);
    const std::string layout = GetParam();
    std::string environment = "-u TMPDIR";
    std::optional<ScopedEnv> ourTmpdir;
    if (layout == "tmpdir") {
        fs::create_directories(work.path() / "tmp");
        environment = "TMPDIR='" + (work.path() / "tmp").string() + "'";
        ourTmpdir.emplace("TMPDIR", (work.path() / "tmp").string());
    } else if (layout == "runtime-dir") {
        if (!fs::is_directory("/run/user/" + std::to_string(getuid())))
            GTEST_SKIP() << "no /run/user/" << getuid() << " here";
    } else {
        ourTmpdir.emplace("TMPDIR", std::nullopt);
    }
    WinePrefix prefix(root);
    ASSERT_FALSE(prefix.wineserverRunning());
    {
        RealWineserver server(*program, root, environment);
        ASSERT_TRUE(server.started());
        EXPECT_TRUE(eventually([&] { return prefix.wineserverRunning(); }));
        server.stop();
        // The name file and the lock file stay behind; no lock is held.
        EXPECT_TRUE(eventually([&] { return !prefix.wineserverRunning(); }));
    }
}

INSTANTIATE_TEST_SUITE_P(WinePrefix, RealWineserverLayout,
                         ::testing::Values("tmp", "tmpdir", "runtime-dir"));
