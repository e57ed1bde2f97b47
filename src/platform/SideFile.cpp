#include "platform/SideFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace trelmig {

namespace {

constexpr std::size_t kMaxNameInPrefix = 200; // leaves room for the suffixes in NAME_MAX
constexpr std::uint64_t kWriteBackStretch = 8 << 20;

} // namespace

std::string sideSuffix() {
    static constexpr char kChars[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 gen{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, sizeof(kChars) - 2);
    std::string suffix(6, ' ');
    for (char& c : suffix)
        c = kChars[pick(gen)];
    return suffix;
}

bool endsWithSideSuffix(std::string_view name, std::string_view marker) {
    return name.size() >= marker.size() + 6 &&
           name.substr(name.size() - 6 - marker.size(), marker.size()) == marker &&
           std::all_of(name.end() - 6, name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

int createSideFile(const std::string& folder, const std::string& prefix, std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = folder + "/" + prefix + sideSuffix();
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

bool flushFileSystem(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
}

bool flushFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fdatasync(fd) == 0;
    ::close(fd);
    return ok;
}

bool syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0 || errno == EINVAL; // some file systems cannot sync folders
    ::close(fd);
    return ok;
}

std::string SideFile::sidePrefix(const std::string& targetFileName) {
    return "." + targetFileName.substr(0, kMaxNameInPrefix) + ".trelmig-";
}

SideFile::SideFile(std::string targetPath, std::string prefix)
    : target_(std::move(targetPath)), prefix_(std::move(prefix)) {
    const auto slash = target_.find_last_of('/');
    folder_ = slash == std::string::npos ? "." : slash == 0 ? "/" : target_.substr(0, slash);
    if (prefix_.empty())
        prefix_ = sidePrefix(slash == std::string::npos ? target_ : target_.substr(slash + 1));
}

SideFile::~SideFile() {
    if (!committed_)
        discard();
}

void SideFile::fail(const std::string& what, int err) {
    throw std::runtime_error(what + ": " + std::generic_category().message(err));
}

void SideFile::create() {
    discard();
    writes_.reset();
    fd_ = createSideFile(folder_, prefix_, path_);
    if (fd_ < 0)
        fail("Cannot create a file in " + folder_, errno);
    ::flock(fd_, LOCK_EX | LOCK_NB); // a fresh file: nobody else can hold it
}

std::size_t SideFile::removeLeftovers(const std::string& targetPath) {
    const SideFile probe(targetPath);
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(probe.folder_.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() == probe.prefix_.size() + 6 && endsWithSideSuffix(name, probe.prefix_))
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::size_t removed = 0;
    for (const auto& name : names) {
        const std::string path = probe.folder_ + "/" + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::unlink(path.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

void SideFile::write(const void* data, std::size_t length) {
    if (!writes_.write(fd_, data, length))
        fail("Cannot write " + path_, errno);
}

bool SequentialWrites::write(int fd, const void* data, std::size_t length) {
    if (!writeFully(fd, data, length))
        return false;
    written_ += length;
    if (written_ - writeBackFrom_ >= kWriteBackStretch) {
        ::sync_file_range(fd, static_cast<off_t>(writeBackFrom_),
                          static_cast<off_t>(written_ - writeBackFrom_), SYNC_FILE_RANGE_WRITE);
        writeBackFrom_ = written_;
    }
    return true;
}

void SideFile::close() {
    if (fd_ < 0)
        return;
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        fail("Cannot write " + path_, errno);
}

void SideFile::commit(bool flush) {
    struct stat old {};
    const bool replacing = ::stat(target_.c_str(), &old) == 0;
    // A closed file is opened again only when there is something to do with
    // it: many files waiting for their commit cost no second open each.
    if (fd_ < 0 && (flush || replacing)) {
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0)
            fail("The new file " + path_ + " is missing", errno);
    }
    if (replacing && ::fchmod(fd_, old.st_mode & 07777) != 0)
        fail("Cannot set the mode of " + path_, errno);
    if (flush && ::fsync(fd_) != 0)
        fail("Cannot flush " + path_ + " to disk", errno);
    const int closed = fd_ < 0 ? 0 : ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        fail("Cannot write " + path_, errno);
    if (::rename(path_.c_str(), target_.c_str()) != 0)
        fail("Cannot rename " + path_ + " to " + target_, errno);
    committed_ = true;
    if (flush && !syncFolder(folder_))
        fail(target_ + " is in place, but the folder " + folder_ + " could not be flushed to disk",
             errno);
}

void SideFile::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!path_.empty() && !committed_)
        ::unlink(path_.c_str());
    path_.clear();
}

} // namespace trelmig
