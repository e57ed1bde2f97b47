#include "platform/WinePrefix.h"
#include "platform/WorkFolder.h"

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
