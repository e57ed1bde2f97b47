#include "archive/ZipWriteBehind.h"

#include "archive/ZipExtractedFile.h"

#include <algorithm>
#include <exception>

namespace trelmig {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
// Buffers queued for the writer besides the one it writes and the one filled.
constexpr std::size_t kBuffersQueued = 2;

} // namespace

ZipWriteBehind::ZipWriteBehind(ZipExtractedFile& file) : file_(file), writer_(1, kBuffersQueued) {}

ZipWriteBehind::~ZipWriteBehind() {
    writer_.Cancel();
}

Result<void> ZipWriteBehind::writerState() {
    if (!writer_.Cancelled())
        return {};
    if (error_.empty()) {
        try {
            writer_.Wait();
            error_ = "The write was stopped.";
        } catch (const std::exception& e) {
            error_ = e.what();
        }
    }
    return Fail(error_);
}

bool ZipWriteBehind::handOver() {
    std::vector<unsigned char> full;
    full.swap(filling_);
    {
        const std::lock_guard lock(spareMutex_);
        if (!spare_.empty()) {
            filling_ = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    // Waits while the queue is full; false once a write has failed.
    return writer_.Submit([this, buffer = std::move(full)]() mutable {
        file_.write(buffer.data(), buffer.size());
        buffer.clear();
        const std::lock_guard lock(spareMutex_);
        spare_.push_back(std::move(buffer));
    });
}

Result<void> ZipWriteBehind::write(const unsigned char* data, std::size_t length) {
    while (length > 0) {
        if (filling_.capacity() < kBufferSize)
            filling_.reserve(kBufferSize);
        const std::size_t n = std::min(length, kBufferSize - filling_.size());
        filling_.insert(filling_.end(), data, data + n);
        data += n;
        length -= n;
        if (filling_.size() == kBufferSize && !handOver())
            return writerState();
    }
    return writerState();
}

Result<void> ZipWriteBehind::finish() {
    if (!filling_.empty() && !handOver())
        return writerState();
    try {
        writer_.Wait();
    } catch (const std::exception& e) {
        error_ = e.what();
        return Fail(error_);
    }
    return writerState();
}

} // namespace trelmig
