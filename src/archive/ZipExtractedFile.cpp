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

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

ZipExtractedFile::ZipExtractedFile(std::string path) : path_(std::move(path)) {}

ZipExtractedFile::~ZipExtractedFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (directOpened_ >= 0)
        ::close(directOpened_);
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
    // The very file just made, whatever happens to its name.
    directOpened_ = openDirect("/proc/self/fd/" + std::to_string(fd_), O_WRONLY);
    directFd_ = directOpened_;
}

void ZipExtractedFile::write(const void* data, std::size_t length) {
    if (!writes_.write(fd_, data, length))
        fail("Cannot write " + path_, errno);
}

void ZipExtractedFile::writeAt(const void* data, std::size_t length, std::uint64_t offset) {
    thread_local AlignedBuffer aligned; // for data that does not lie aligned in memory
    int direct = directFd_.load();
    const int err = writeMostlyDirect(direct, fd_, aligned, static_cast<const unsigned char*>(data),
                                      length, offset);
    if (direct < 0)
        directFd_ = -1;
    if (err != 0)
        fail("Cannot write " + path_, err);
    ::sync_file_range(fd_, static_cast<off_t>(offset), static_cast<off_t>(length),
                      SYNC_FILE_RANGE_WRITE);
}

void ZipExtractedFile::finish(bool flush) {
    if (flush && ::fsync(fd_) != 0)
        fail("Cannot flush " + path_ + " to disk", errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (directOpened_ >= 0)
        ::close(directOpened_);
    directOpened_ = directFd_ = -1;
    if (closed != 0)
        fail("Cannot write " + path_, errno);
    if (flush && !syncFolder(folderOf(path_)))
        fail("The folder of " + path_ + " could not be flushed to disk", errno);
}

} // namespace trelmig
