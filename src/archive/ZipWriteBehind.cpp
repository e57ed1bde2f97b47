#include "archive/ZipWriteBehind.h"

#include "archive/ZipExtractedFile.h"

#include <algorithm>
#include <exception>

namespace trelmig {

namespace {

constexpr std::size_t kBuffers = 4;
constexpr std::size_t kBufferSize = 1 << 20;

} // namespace

ZipWriteBehind::ZipWriteBehind(ZipExtractedFile& file) : file_(file), buffers_(kBuffers) {
    for (auto& buffer : buffers_) {
        buffer.reserve(kBufferSize);
        free_.push_back(&buffer);
    }
    writer_ = std::thread([this] { run(); });
}

ZipWriteBehind::~ZipWriteBehind() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        full_.clear();
    }
    changed_.notify_all();
    writer_.join();
}

void ZipWriteBehind::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || !full_.empty(); });
        if (full_.empty())
            return;
        std::vector<unsigned char>* buffer = full_.front();
        full_.pop_front();
        writing_ = true;
        lock.unlock();
        std::string failure;
        try {
            file_.write(buffer->data(), buffer->size());
        } catch (const std::exception& e) {
            failure = e.what();
        }
        buffer->clear();
        lock.lock();
        writing_ = false;
        free_.push_back(buffer);
        if (!failure.empty() && !failed_) {
            failed_ = true;
            error_ = failure;
            full_.clear();
        }
        changed_.notify_all();
    }
}

void ZipWriteBehind::handOver() {
    std::lock_guard lock(mutex_);
    full_.push_back(filling_);
    filling_ = nullptr;
    changed_.notify_all();
}

bool ZipWriteBehind::write(const unsigned char* data, std::size_t length) {
    while (length > 0) {
        if (!filling_) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return failed_ || !free_.empty(); });
            if (failed_)
                return false;
            filling_ = free_.front();
            free_.pop_front();
        }
        const std::size_t n = std::min(length, kBufferSize - filling_->size());
        filling_->insert(filling_->end(), data, data + n);
        data += n;
        length -= n;
        if (filling_->size() == kBufferSize)
            handOver();
    }
    std::lock_guard lock(mutex_);
    return !failed_;
}

bool ZipWriteBehind::finish() {
    if (filling_ && !filling_->empty())
        handOver();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return failed_ || (full_.empty() && !writing_); });
    return !failed_;
}

} // namespace trelmig
