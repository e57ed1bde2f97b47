#include "archive/ZipWriteTarget.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace trelmig {

namespace {

constexpr std::size_t kMaxNameInPrefix = 200; // leaves room for the suffixes in NAME_MAX

std::string errnoText(int err) {
    return std::strerror(err);
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

int createSideFile(const std::string& folder, const std::string& prefix, std::string& path) {
    static constexpr char kChars[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 gen(seed());
    std::uniform_int_distribution<int> pick(0, sizeof(kChars) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = folder + "/" + prefix;
        for (int i = 0; i < 6; ++i)
            candidate += kChars[pick(gen)];
        // 0666: the kernel applies the umask, as for any new file.
        int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            path = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

bool writeFully(int fd, const void* data, std::size_t length) {
    auto* bytes = static_cast<const unsigned char*>(data);
    while (length > 0) {
        ssize_t n = ::write(fd, bytes, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0 || errno == EINVAL; // some file systems cannot sync folders
    ::close(fd);
    return ok;
}

std::string ZipWriteTarget::sidePrefix(const std::string& targetFileName) {
    return "." + targetFileName.substr(0, kMaxNameInPrefix) + ".trelmig-";
}

ZipWriteTarget::ZipWriteTarget(std::string targetPath) : target_(std::move(targetPath)) {
    auto slash = target_.find_last_of('/');
    folder_ = slash == std::string::npos ? "." : slash == 0 ? "/" : target_.substr(0, slash);
    std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    prefix_ = sidePrefix(name);
    lockPath_ = folder_ + "/" + prefix_ + "lock";
}

ZipWriteTarget::~ZipWriteTarget() {
    if (!committed_)
        removeTemp();
    releaseLock();
}

bool ZipWriteTarget::begin() {
    struct stat st {};
    if (::stat(folder_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error_ = "The folder " + folder_ + " does not exist.";
        return false;
    }
    if (::stat(target_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error_ = target_ + " is a folder.";
        return false;
    }
    // The lock file is removed by its holder on release; a writer that opened
    // it just before that finds the file gone or replaced and tries again.
    bool locked = false;
    for (int attempt = 0; attempt < 10 && !locked; ++attempt) {
        int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            error_ = "Cannot write in the folder " + folder_ + ": " + errnoText(errno);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            int err = errno;
            if (err == EWOULDBLOCK) {
                ::close(fd);
                error_ = "Another backup is writing " + target_ +
                         " right now; try again when it has finished.";
                return false;
            }
            // File systems without locks (some network shares): write without one.
            if (err != ENOLCK && err != EOPNOTSUPP && err != EINVAL) {
                ::close(fd);
                error_ = "Cannot lock " + lockPath_ + ": " + errnoText(err);
                return false;
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
    if (lockFd_ < 0) {
        error_ = "Cannot lock " + lockPath_ + ".";
        return false;
    }
    locked_ = locked;
    if (locked_)
        removeLeftovers();

    int fd = createSideFile(folder_, prefix_, tempPath_);
    if (fd < 0) {
        error_ = "Cannot create a temporary file in " + folder_ + ": " + errnoText(errno);
        return false;
    }
    ::close(fd);
    return true;
}

bool ZipWriteTarget::commit() {
    int fd = ::open(tempPath_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error_ = "The new archive " + tempPath_ + " is missing: " + errnoText(errno);
        return false;
    }
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0) {
        error_ = "Cannot set the mode of " + tempPath_ + ": " + errnoText(errno);
        ::close(fd);
        return false;
    }
    if (::fsync(fd) != 0) {
        error_ = "Cannot flush " + tempPath_ + " to disk: " + errnoText(errno);
        ::close(fd);
        return false;
    }
    ::close(fd);
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        error_ = "Cannot rename " + tempPath_ + " to " + target_ + ": " + errnoText(errno);
        return false;
    }
    committed_ = true;
    if (!syncFolder(folder_)) {
        error_ = "The new archive " + target_ + " is in place, but the folder " + folder_ +
                 " could not be flushed to disk: " + errnoText(errno);
        return false;
    }
    return true;
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

void ZipWriteTarget::removeTemp() {
    if (tempPath_.empty())
        return;
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
}

void ZipWriteTarget::releaseLock() {
    if (lockFd_ < 0)
        return;
    ::unlink(lockPath_.c_str());
    ::close(lockFd_);
    lockFd_ = -1;
}

} // namespace trelmig
