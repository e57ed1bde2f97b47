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
    flushBehind_.reset(); // before the descriptor it uses closes
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

void ZipExtractedFile::beginPlacedWrites() {
    flushBehind_ = std::make_unique<ZipFlushBehind>(fd_);
}

void ZipExtractedFile::writeAt(const void* data, std::size_t length, std::uint64_t offset) {
    if (const int err = writeAllAt(fd_, static_cast<const unsigned char*>(data), length, offset);
        err != 0)
        fail("Cannot write " + path_, err);
    flushBehind_->written(offset, length);
    if (const int err = flushBehind_->error(); err != 0)
        fail("Cannot write " + path_, err);
}

void ZipExtractedFile::finish(bool flush) {
    if (flushBehind_) {
        flushBehind_->drain();
        const int err = flushBehind_->error();
        flushBehind_.reset();
        if (err != 0)
            fail("Cannot write " + path_, err);
    }
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
