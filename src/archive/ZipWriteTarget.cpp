#include "archive/ZipWriteTarget.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace trelmig {

namespace {

std::string errnoText(int err) {
    return std::generic_category().message(err);
}

bool isSuffixChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isRandomPart(const std::string& s, std::size_t from) {
    if (s.size() < from + 6)
        return false;
    for (std::size_t i = from; i < from + 6; ++i)
        if (!isSuffixChar(s[i]))
            return false;
    return true;
}

// The random part of a temporary file's name.
bool isTempSuffix(const std::string& suffix) {
    return suffix.size() == 6 && isRandomPart(suffix, 0);
}

} // namespace

ZipWriteTarget::ZipWriteTarget(std::string targetPath)
    : target_(std::move(targetPath)), temp_(target_) {
    auto slash = target_.find_last_of('/');
    folder_ = slash == std::string::npos ? "." : slash == 0 ? "/" : target_.substr(0, slash);
    std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    prefix_ = sidePrefix(name);
    lockPath_ = folder_ + "/" + prefix_ + "lock";
}

ZipWriteTarget::~ZipWriteTarget() {
    temp_.discard();
    releaseLock();
}

Result<void> ZipWriteTarget::begin() {
    struct stat st {};
    if (::stat(folder_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return Fail("The folder " + folder_ + " does not exist.");
    if (::stat(target_.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return Fail(target_ + " is a folder.");
    // The lock file is removed by its holder on release; a writer that opened
    // it just before that finds the file gone or replaced and tries again.
    bool locked = false;
    for (int attempt = 0; attempt < 10 && !locked; ++attempt) {
        int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return Fail("Cannot write in the folder " + folder_ + ": " + errnoText(errno));
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            int err = errno;
            if (err == EWOULDBLOCK) {
                ::close(fd);
                return Fail("Another backup is writing " + target_ +
                            " right now; try again when it has finished.");
            }
            // File systems without locks (some network shares): write without one.
            if (err != ENOLCK && err != EOPNOTSUPP && err != EINVAL) {
                ::close(fd);
                return Fail("Cannot lock " + lockPath_ + ": " + errnoText(err));
            }
            lockFd_ = fd;
            break;
        }
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && ::stat(lockPath_.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            lockFd_ = fd;
            locked = true;
        } else {
            ::close(fd);
        }
    }
    if (lockFd_ < 0)
        return Fail("Cannot lock " + lockPath_ + ".");
    locked_ = locked;
    if (locked_)
        removeLeftovers();

    try {
        temp_.create();
        temp_.close();
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
    return {};
}

Result<void> ZipWriteTarget::commit(bool flush) {
    try {
        temp_.commit(flush);
        return {};
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}

void ZipWriteTarget::removeLeftovers() {
    DIR* dir = ::opendir(folder_.c_str());
    if (!dir)
        return;
    std::vector<std::string> doomed;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name.compare(0, prefix_.size(), prefix_) != 0 ||
            !isTempSuffix(name.substr(prefix_.size())))
            continue;
        std::string path = folder_ + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            doomed.push_back(path);
    }
    ::closedir(dir);
    for (const auto& path : doomed)
        ::unlink(path.c_str());
}

void ZipWriteTarget::releaseLock() {
    if (lockFd_ < 0)
        return;
    ::unlink(lockPath_.c_str());
    ::close(lockFd_);
    lockFd_ = -1;
}

} // namespace trelmig
