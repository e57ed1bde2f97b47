#include "archive/ZipOutputFile.h"

#include "platform/DirectIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <system_error>
#include <unistd.h>

namespace trelmig {

namespace {

constexpr std::size_t kBlockSize = std::size_t(1) << 20;
constexpr std::size_t kBlocksQueued = 4;
static_assert(kBlockSize % kDirectAlign == 0);

} // namespace

ZipOutputFile::ZipOutputFile(std::string path) : path_(std::move(path)), writer_(1, kBlocksQueued) {
    zip_error_init(&zipError_);
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd_ < 0)
        openErrno_ = errno;
    else
        directFd_ = directOpened_ = openDirect(path_, O_WRONLY | O_NOFOLLOW);
}

ZipOutputFile::~ZipOutputFile() {
    // Blocks not yet written are dropped; the one being written ends first.
    writer_.Cancel();
    try {
        writer_.Wait();
    } catch (...) { // a failed write was reported to libzip already
    }
    if (fd_ >= 0)
        ::close(fd_);
    if (directOpened_ >= 0)
        ::close(directOpened_);
    zip_error_fini(&zipError_);
}

zip_source_t* ZipOutputFile::source(zip_error_t* error) {
    if (fd_ < 0) {
        zip_error_set(error, ZIP_ER_OPEN, openErrno_);
        return nullptr;
    }
    return zip_source_function_create(&ZipOutputFile::callback, this, error);
}

std::string ZipOutputFile::error() {
    std::lock_guard lock(mutex_);
    return error_;
}

void ZipOutputFile::keepFailure(const char* why) noexcept {
    try {
        std::lock_guard lock(mutex_);
        if (error_.empty())
            error_ = why;
    } catch (...) { // no memory even for the reason: libzip's own words stand
    }
}

zip_int64_t ZipOutputFile::failWith(int zipError, int systemError) {
    zip_error_set(&zipError_, zipError, systemError);
    return -1;
}

zip_int64_t ZipOutputFile::callback(void* self, void* data, zip_uint64_t length,
                                    zip_source_cmd_t cmd) {
    auto* file = static_cast<ZipOutputFile*>(self);
    try {
        switch (cmd) {
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_WRITABLE;
        case ZIP_SOURCE_STAT: {
            // A new archive: libzip takes "no such file" as leave to create it.
            if (!file->written_)
                return file->failWith(ZIP_ER_READ, ENOENT);
            auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &file->zipError_);
            if (!st)
                return -1;
            zip_stat_init(st);
            st->valid = ZIP_STAT_SIZE;
            st->size = file->end_;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_BEGIN_WRITE:
            file->position_ = file->end_ = 0;
            file->written_ = true;
            return 0;
        case ZIP_SOURCE_WRITE:
            return file->write(data, length);
        case ZIP_SOURCE_SEEK_WRITE:
            return file->seek(data, length);
        case ZIP_SOURCE_TELL_WRITE:
            return static_cast<zip_int64_t>(file->position_);
        case ZIP_SOURCE_COMMIT_WRITE:
            return file->drain() ? 0 : file->failWith(ZIP_ER_WRITE, file->errno_);
        case ZIP_SOURCE_ROLLBACK_WRITE:
            file->drain();
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&file->zipError_, data, length);
        // Reading is never asked of a new archive; an empty file reads as such.
        case ZIP_SOURCE_OPEN:
        case ZIP_SOURCE_READ:
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_SEEK:
        case ZIP_SOURCE_TELL:
        case ZIP_SOURCE_REMOVE:
        case ZIP_SOURCE_FREE:
            return 0;
        default:
            return file->failWith(ZIP_ER_OPNOTSUPP, 0);
        }
    } catch (const std::exception& e) {
        // No exception may cross libzip's C frames: the reason is kept for
        // error(), and libzip is told the write failed.
        file->keepFailure(e.what());
        return file->failWith(ZIP_ER_MEMORY, 0);
    } catch (...) {
        return file->failWith(ZIP_ER_MEMORY, 0);
    }
}

bool ZipOutputFile::writeFailed() {
    std::lock_guard lock(mutex_);
    return !error_.empty();
}

zip_int64_t ZipOutputFile::write(const void* data, zip_uint64_t length) {
    if (writeFailed())
        return failWith(ZIP_ER_WRITE, errno_);
    if (open_.data.size > 0 && open_.offset + open_.data.size != position_)
        handOver();
    if (open_.data.size == 0) {
        open_.offset = position_;
        if (open_.data.capacity == 0)
            open_.data.reserve(kBlockSize);
    }
    auto* bytes = static_cast<const unsigned char*>(data);
    zip_uint64_t left = length;
    while (left > 0) {
        // Blocks end on the file's block-size boundaries, so that after the
        // first block past a seek they lie aligned for direct writes.
        const std::size_t limit = kBlockSize - static_cast<std::size_t>(open_.offset % kBlockSize);
        std::size_t room = limit - open_.data.size;
        std::size_t n = static_cast<std::size_t>(std::min<zip_uint64_t>(room, left));
        std::memcpy(open_.data.data.get() + open_.data.size, bytes, n);
        open_.data.size += n;
        bytes += n;
        left -= n;
        position_ += n;
        if (open_.data.size == limit) {
            handOver();
            open_.offset = position_;
        }
    }
    end_ = std::max(end_, position_);
    return static_cast<zip_int64_t>(length);
}

zip_int64_t ZipOutputFile::seek(void* data, zip_uint64_t length) {
    zip_int64_t to = zip_source_seek_compute_offset(position_, end_, data, length, &zipError_);
    if (to < 0)
        return -1;
    position_ = static_cast<std::uint64_t>(to);
    return 0;
}

void ZipOutputFile::handOver() {
    Block next;
    {
        std::lock_guard lock(mutex_);
        if (!spare_.empty()) {
            next.data = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    next.data.size = 0;
    std::swap(next, open_);
    if (open_.data.capacity == 0)
        open_.data.reserve(kBlockSize);
    // Waits while kBlocksQueued blocks wait for the writer. A block refused
    // after a failed write is dropped: the failure is reported anyway.
    auto block = std::make_shared<Block>(std::move(next));
    writer_.Submit([this, block] { writeBlock(*block); });
}

bool ZipOutputFile::drain() {
    if (open_.data.size > 0)
        handOver();
    writer_.Wait(); // the blocks' tasks throw nothing
    return !writeFailed();
}

void ZipOutputFile::writeBlock(Block& block) {
    if (writeFailed())
        return; // later blocks would only fill a file that is given up
    const int err = writeMostlyDirect(directFd_, fd_, aligned_, block.data.data.get(),
                                      block.data.size, block.offset);
    std::lock_guard lock(mutex_);
    if (err != 0 && error_.empty()) {
        errno_ = err;
        error_ = std::generic_category().message(err);
    }
    spare_.push_back(std::move(block.data));
}

} // namespace trelmig
