#include "platform/WinePrefix.h"
#include "platform/WorkFolder.h"

#include "ScopedEnv.h"

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

namespace {

std::string serverDirName(const fs::path& prefixRoot) {
    struct stat st {};
    EXPECT_EQ(stat(prefixRoot.c_str(), &st), 0);
    char name[64];
    std::snprintf(name, sizeof name, "server-%lx-%lx", static_cast<unsigned long>(st.st_dev),
                  static_cast<unsigned long>(st.st_ino));
    return name;
}

// A child process holding the wineserver's lock until told to go: fcntl locks
// belong to a process, so this process could not see a lock of its own.
class LockHolder {
public:
    explicit LockHolder(const fs::path& lockFile) {
        int ready[2], release[2];
        if (pipe(ready) != 0 || pipe(release) != 0)
            throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(release[1]);
            int fd = open(lockFile.c_str(), O_RDWR);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            lock.l_start = 0;
            lock.l_len = 1;
            char status = (fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0) ? 'y' : 'n';
            if (write(ready[1], &status, 1) != 1)
                _exit(2);
            char dummy;
            while (read(release[0], &dummy, 1) > 0) {
            }
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        release_ = release[1];
        char status = 'n';
        if (read(ready[0], &status, 1) != 1)
            status = 'n';
        close(ready[0]);
        locked_ = status == 'y';
    }
    ~LockHolder() { stop(); }

    bool locked() const { return locked_; }
    void stop() {
        if (pid_ <= 0)
            return;
        close(release_);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool locked_ = false;
};

} // namespace

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
