#include "archive/ZipDeflatePipeline.h"

#include "archive/ZipAesEncryptor.h"
#include "archive/ZipChunkDeflater.h"
#include "archive/ZipCrc32.h"
#include "platform/DirectIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <zlib.h>

namespace trelmig {

// Files from this size on are read past the page cache where that works: the
// large ones are mostly the backup's own point-in-time copies, written past
// it (DirectIo).
constexpr std::uint64_t kDirectReadFrom = 4 << 20;

struct ZipDeflatePipeline::Input {
    Input(int fd, int directFd, std::string path)
        : fd(fd), directFd(directFd), path(std::move(path)) {}
    ~Input() {
        ::close(fd);
        if (directFd >= 0)
            ::close(directFd);
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;
    int fd;
    int directFd; // -1: none
    std::string path;
};

struct ZipDeflatePipeline::Chunk {
    std::size_t file = 0;
    std::shared_ptr<Input> input; // null for a file that could not be opened
    std::uint64_t offset = 0;
    std::size_t length = 0;
    bool last = false;
    // Set by the worker; read by the reader once done.
    ZipBuffer out;
    std::unique_ptr<ZipAesEncryptor> cipher; // on a file's first chunk, with a password
    bool handedOut = false;                  // reader: out is encrypted, output started
    std::uint32_t crc = 0;
    std::string error;
    bool done = false;
};

struct ZipDeflatePipeline::Workspace {
    std::unique_ptr<ZipChunkDeflater> deflater;
    AlignedBuffer input;
};

// The pool's queue holds every chunk of the window, so that scheduling (done
// with mutex_ held) never waits for room in it.
ZipDeflatePipeline::ZipDeflatePipeline(std::vector<std::string> paths, Settings settings)
    : paths_(std::move(paths)), settings_(std::move(settings)), results_(paths_.size()),
      pool_(settings_.threads, std::max<std::size_t>(settings_.chunksAhead, 1)) {
    workspaces_.reserve(pool_.ThreadCount()); // handing one back never allocates
}

ZipDeflatePipeline::~ZipDeflatePipeline() = default;

std::int64_t ZipDeflatePipeline::read(std::size_t index, void* buffer, std::size_t length) {
    std::unique_lock lock(mutex_);
    if (failed_)
        return -1;
    if (index >= results_.size()) {
        error_ = "No such file in the list.";
        failed_ = true;
        return -1;
    }
    for (;;) {
        if (extraPos_ < extraSize_) {
            std::size_t n = std::min(length, extraSize_ - extraPos_);
            std::memcpy(buffer, extra_ + extraPos_, n);
            extraPos_ += n;
            return static_cast<std::int64_t>(n);
        }
        if (results_[index].finished)
            return 0;
        schedule();
        if (window_.empty() || window_.front()->file != index) {
            error_ = "Files were not read in order (" + paths_[index] + ").";
            failed_ = true;
            return -1;
        }
        Chunk& chunk = *window_.front();
        chunkDone_.wait(lock, [&chunk] { return chunk.done; });
        if (!chunk.error.empty()) {
            error_ = chunk.error;
            failed_ = true;
            return -1;
        }
        if (!chunk.handedOut) {
            startHandingOut(chunk, lock);
            if (failed_)
                return -1;
            continue; // the header first, if there is one
        }
        std::size_t n = std::min(length, chunk.out.size - outPos_);
        std::memcpy(buffer, chunk.out.data.get() + outPos_, n);
        outPos_ += n;
        if (outPos_ == chunk.out.size) {
            Result& r = results_[index];
            r.crc = static_cast<std::uint32_t>(
                crc32_combine(r.crc, chunk.crc, static_cast<z_off_t>(chunk.length)));
            r.size += chunk.length;
            r.index.deflatedSizes.push_back(static_cast<std::uint32_t>(chunk.out.size));
            r.finished = chunk.last;
            bytesDone_ += chunk.length;
            if (chunk.last && cipher_) {
                try {
                    handOutFirst(cipher_->finish());
                } catch (const std::exception& e) {
                    encryptionFailed(index, e);
                    return -1;
                }
                cipher_.reset();
            }
            spareBuffers_.push_back(std::move(chunk.out));
            window_.pop_front();
            outPos_ = 0;
            schedule();
        }
        if (n > 0)
            return static_cast<std::int64_t>(n);
    }
}

// The chunk at the front is done: takes its file's keys when it is the
// file's first, and encrypts it in place. The workers do not touch a done
// chunk, so the lock is let go meanwhile.
void ZipDeflatePipeline::startHandingOut(Chunk& chunk, std::unique_lock<std::mutex>& lock) {
    if (chunk.cipher) {
        cipher_ = std::move(chunk.cipher);
        handOutFirst(cipher_->header());
    }
    chunk.handedOut = true;
    if (!cipher_)
        return;
    lock.unlock();
    try {
        cipher_->encrypt({chunk.out.data.get(), chunk.out.size});
    } catch (const std::exception& e) {
        lock.lock();
        encryptionFailed(chunk.file, e);
        return;
    }
    lock.lock();
}

void ZipDeflatePipeline::handOutFirst(std::span<const unsigned char> bytes) {
    static_assert(ZipAesEncryptor::kHeaderSize <= sizeof extra_ &&
                  ZipAesEncryptor::kTrailerSize <= sizeof extra_);
    std::memcpy(extra_, bytes.data(), bytes.size());
    extraSize_ = bytes.size();
    extraPos_ = 0;
}

void ZipDeflatePipeline::encryptionFailed(std::size_t index, const std::exception& e) {
    error_ = "Cannot encrypt " + paths_[index] + ": " + e.what();
    failed_ = true;
}

bool ZipDeflatePipeline::openNext() {
    const std::string& path = paths_[nextFile_];
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    std::string problem;
    if (fd < 0 || ::fstat(fd, &st) != 0)
        problem = std::generic_category().message(errno);
    else if (!S_ISREG(st.st_mode))
        problem = "not a regular file";
    if (!problem.empty()) {
        if (fd >= 0)
            ::close(fd);
        auto failed = std::make_unique<Chunk>();
        failed->file = nextFile_;
        failed->error = "Cannot read " + path + ": " + problem;
        failed->done = true;
        window_.push_back(std::move(failed));
        scheduleStopped_ = true;
        return false;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    const int directFd = static_cast<std::uint64_t>(st.st_size) >= kDirectReadFrom
                             ? openDirect("/proc/self/fd/" + std::to_string(fd), O_RDONLY)
                             : -1;
    input_ = std::make_shared<Input>(fd, directFd, path);
    inputOffset_ = 0;
    inputSize_ = static_cast<std::uint64_t>(st.st_size);
    inputChunkSize_ = ZipChunkIndex::chunkSizeFor(inputSize_, settings_.chunkSize);
    results_[nextFile_].index.chunkSize = static_cast<std::uint32_t>(inputChunkSize_);
    return true;
}

void ZipDeflatePipeline::schedule() {
    while (!scheduleStopped_ && window_.size() < settings_.chunksAhead) {
        if (!input_) {
            if (nextFile_ == paths_.size()) {
                scheduleStopped_ = true;
                break;
            }
            if (!openNext())
                break;
        }
        auto chunk = std::make_unique<Chunk>();
        chunk->file = nextFile_;
        chunk->input = input_;
        chunk->offset = inputOffset_;
        chunk->length = static_cast<std::size_t>(
            std::min<std::uint64_t>(inputChunkSize_, inputSize_ - inputOffset_));
        chunk->last = inputOffset_ + chunk->length == inputSize_;
        if (!spareBuffers_.empty()) {
            chunk->out = std::move(spareBuffers_.back());
            spareBuffers_.pop_back();
        }
        inputOffset_ += chunk->length;
        if (chunk->last) {
            input_.reset();
            ++nextFile_;
        }
        Chunk* scheduled = chunk.get();
        window_.push_back(std::move(chunk));
        pool_.Submit([this, scheduled] { work(*scheduled); });
    }
}

// Every way out marks the chunk done: the reader waits for it.
void ZipDeflatePipeline::work(Chunk& chunk) {
    std::unique_ptr<Workspace> space;
    {
        std::lock_guard lock(mutex_);
        if (!workspaces_.empty()) {
            space = std::move(workspaces_.back());
            workspaces_.pop_back();
        }
    }
    try {
        if (!space)
            space = std::make_unique<Workspace>();
        if (!space->deflater)
            space->deflater = std::make_unique<ZipChunkDeflater>(settings_.level);
        compress(chunk, *space->deflater, space->input);
    } catch (const std::exception& e) {
        chunk.error = "Cannot compress " + chunk.input->path + ": " + e.what();
    }
    if (chunk.error.empty() && chunk.offset == 0 && !settings_.password.empty()) {
        try {
            chunk.cipher = std::make_unique<ZipAesEncryptor>(settings_.password);
        } catch (const std::exception& e) {
            chunk.error = "Cannot encrypt " + chunk.input->path + ": " + e.what();
        }
    }
    {
        std::lock_guard lock(mutex_);
        chunk.done = true;
        if (space && workspaces_.size() < workspaces_.capacity())
            workspaces_.push_back(std::move(space));
    }
    chunkDone_.notify_all();
}

void ZipDeflatePipeline::compress(Chunk& chunk, ZipChunkDeflater& deflater, AlignedBuffer& input) {
    const unsigned char* bytes =
        readAt(chunk.input->directFd, chunk.input->fd, input, chunk.length, chunk.offset);
    if (!bytes) {
        chunk.error =
            errno != 0
                ? "Cannot read " + chunk.input->path + ": " + std::generic_category().message(errno)
                : "The file " + chunk.input->path + " became shorter while it was read.";
        return;
    }
    const std::span<const unsigned char> data(bytes, chunk.length);
    chunk.crc = zipCrc32(0, data.data(), data.size());
    deflater.deflateChunk(data, chunk.last, chunk.out);
}

} // namespace trelmig
