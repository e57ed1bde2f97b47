#pragma once

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The name of the wineserver's folder for a prefix, and a stand-in for a
// running wineserver: another process holding its lock.
namespace wineserver_lock {

namespace fs = std::filesystem;

inline std::string serverDirName(const fs::path& prefixRoot) {
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

} // namespace wineserver_lock

using wineserver_lock::LockHolder;
using wineserver_lock::serverDirName;
