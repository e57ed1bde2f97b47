#include "archive/ZipFlushBehind.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace trelmig {

namespace {

// What the disk is handed at least at a time.
constexpr std::uint64_t kStartStep = std::uint64_t(1) << 20;
// Written pages stay this long in the cache before they are dropped: far
// enough behind that the disk mostly has them by then, near enough that the
// next pieces reuse them. A wider window costs more than it saves: 128 MiB
// took twice the processor time of 8 MiB, all of it in fresh pages.
constexpr std::uint64_t kWindow = std::uint64_t(8) << 20;
constexpr std::uint64_t kDropStep = std::uint64_t(2) << 20;
// Steps waiting for the flusher before a writer waits.
constexpr std::size_t kStepsQueued = 8;
// Handed to the disk between two flushes of the device.
constexpr std::uint64_t kDeviceFlushStep = std::uint64_t(32) << 20;

} // namespace

ZipFlushBehind::ZipFlushBehind(int fd) : fd_(fd), flusher_(1, kStepsQueued), deviceFlusher_(1, 1) {}

ZipFlushBehind::~ZipFlushBehind() {
    flusher_.Cancel();
    deviceFlusher_.Cancel();
    flusher_.Wait(); // the steps throw nothing
    deviceFlusher_.Wait();
}

void ZipFlushBehind::drain() {
    flusher_.Wait();
    deviceFlusher_.Wait();
}

void ZipFlushBehind::failed(int err) {
    int none = 0;
    error_.compare_exchange_strong(none, err);
}

void ZipFlushBehind::written(std::uint64_t offset, std::uint64_t length) {
    std::uint64_t startFrom = 0, startTo = 0, dropFrom = 0, dropTo = 0;
    bool flushDeviceNow = false;
    {
        const std::lock_guard lock(mutex_);
        ahead_.emplace(offset, offset + length);
        for (auto it = ahead_.begin(); it != ahead_.end() && it->first <= contiguous_;
             it = ahead_.erase(it))
            contiguous_ = std::max(contiguous_, it->second);
        if (contiguous_ >= started_ + kStartStep) {
            startFrom = started_;
            startTo = started_ = contiguous_;
        }
        if (contiguous_ >= dropped_ + kWindow + kDropStep) {
            dropFrom = dropped_;
            dropTo = dropped_ = contiguous_ - kWindow;
        }
        if (!deviceFlushRunning_ && started_ >= deviceFlushedAt_ + kDeviceFlushStep) {
            deviceFlushRunning_ = flushDeviceNow = true;
            deviceFlushedAt_ = started_;
        }
    }
    // Never waits: only one device flush is ever queued or running.
    if (flushDeviceNow)
        deviceFlusher_.Submit([this] { flushDevice(); });
    if (startTo > startFrom || dropTo > dropFrom)
        flusher_.Submit([this, startFrom, startTo, dropFrom, dropTo] {
            flush(startFrom, startTo, dropFrom, dropTo);
        });
}

void ZipFlushBehind::flushDevice() {
    if (::fdatasync(fd_) != 0)
        failed(errno);
    const std::lock_guard lock(mutex_);
    deviceFlushRunning_ = false;
}

void ZipFlushBehind::flush(std::uint64_t startFrom, std::uint64_t startTo, std::uint64_t dropFrom,
                           std::uint64_t dropTo) {
    if (startTo > startFrom &&
        ::sync_file_range(fd_, static_cast<off_t>(startFrom),
                          static_cast<off_t>(startTo - startFrom), SYNC_FILE_RANGE_WRITE) != 0)
        failed(errno);
    if (dropTo <= dropFrom)
        return;
    const auto offset = static_cast<off_t>(dropFrom);
    const auto length = static_cast<off_t>(dropTo - dropFrom);
    if (::sync_file_range(fd_, offset, length,
                          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                              SYNC_FILE_RANGE_WAIT_AFTER) != 0)
        failed(errno);
    ::posix_fadvise(fd_, offset, length, POSIX_FADV_DONTNEED);
}

} // namespace trelmig
