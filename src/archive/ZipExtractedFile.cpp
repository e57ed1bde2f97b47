#include "archive/ZipExtractedFile.h"

#include "platform/DirectIo.h"
#include "platform/SideFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace trelmig {

namespace {

constexpr std::uint64_t kDropBehind = 8 << 20;

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

ZipExtractedFile::ZipExtractedFile(std::string path) : path_(std::move(path)) {}

ZipExtractedFile::~ZipExtractedFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (created_ && !kept_)
        ::unlink(path_.c_str());
}

void ZipExtractedFile::fail(const std::string& what, int err) const {
    throw std::runtime_error(what + ": " + std::generic_category().message(err));
}

void ZipExtractedFile::create() {
    // 0666: the kernel applies the umask, as for any new file.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0)
        fail("Cannot create " + path_, errno);
    created_ = true;
}

void ZipExtractedFile::write(const void* data, std::size_t length) {
    if (!writes_.write(fd_, data, length))
        fail("Cannot write " + path_, errno);
}

void ZipExtractedFile::writeAt(const void* data, std::size_t length, std::uint64_t offset) {
    if (const int err = writeAllAt(fd_, static_cast<const unsigned char*>(data), length, offset);
        err != 0)
        fail("Cannot write " + path_, err);
    ::sync_file_range(fd_, static_cast<off_t>(offset), static_cast<off_t>(length),
                      SYNC_FILE_RANGE_WRITE);
    // Drop-behind: the pages written a few chunks earlier are on their way to
    // the disk; once there they leave the cache, and the next chunks reuse them
    // instead of taking fresh memory (slow on virtual machines that hand freed
    // memory back to their host). Only clean pages go: nothing unwritten is lost.
    if (offset >= kDropBehind) {
        const auto behind = static_cast<off_t>(offset - kDropBehind);
        ::sync_file_range(fd_, behind, static_cast<off_t>(length),
                          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                              SYNC_FILE_RANGE_WAIT_AFTER);
        ::posix_fadvise(fd_, behind, static_cast<off_t>(length), POSIX_FADV_DONTNEED);
    }
}

void ZipExtractedFile::finish(bool flush) {
    if (flush && ::fsync(fd_) != 0)
        fail("Cannot flush " + path_ + " to disk", errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        fail("Cannot write " + path_, errno);
    if (flush && !syncFolder(folderOf(path_)))
        fail("The folder of " + path_ + " could not be flushed to disk", errno);
}

} // namespace trelmig
