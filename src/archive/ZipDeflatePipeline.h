#pragma once

#include "archive/ZipChunkIndex.h"
#include "core/WorkerPool.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace trelmig {

class ZipAesEncryptor;
class AlignedBuffer;
class ZipChunkDeflater;
struct ZipBuffer;

// Deflates a list of files in a worker pool and hands out each file's raw
// deflate stream, file after file, in order. Files are cut into chunks that
// are compressed independently (ZipChunkDeflater), so one large file keeps
// every worker busy, and where each chunk starts is kept (ZipChunkIndex) so
// that a reader can decode them on as many cores. Only a bounded number of chunks is compressed
// ahead of the reader, which bounds memory whatever the file sizes; files are opened when their
// first chunk is scheduled.
//
// With a password each stream comes out as a WinZip AES-256 entry's data
// (ZipAesEncryptor). The workers derive each file's keys, the slow part; the
// reader encrypts each chunk as it hands it out, since the counter and the
// MAC run through the whole entry in order.
class ZipDeflatePipeline {
public:
    struct Settings {
        unsigned threads = WorkerPool::ThreadsForThisMachine();
        // The smallest chunk; a file with more than ZipChunkIndex::kMaxChunks
        // of them is cut into larger ones.
        std::size_t chunkSize = ZipChunkIndex::kMinChunkSize;
        std::size_t chunksAhead = 8;
        int level = 1;        // igzip's (1 to 3); 0 stores every chunk
        std::string password; // empty: no encryption
    };

    ZipDeflatePipeline(std::vector<std::string> paths, Settings settings);
    ~ZipDeflatePipeline();
    ZipDeflatePipeline(const ZipDeflatePipeline&) = delete;
    ZipDeflatePipeline& operator=(const ZipDeflatePipeline&) = delete;

    // Copies the next bytes of file `index`'s (encrypted) deflate stream into buffer.
    // Files are read completely one after the other in list order. Returns
    // the count, 0 at the end of the file, -1 on failure (see error()).
    std::int64_t read(std::size_t index, void* buffer, std::size_t length);
    // Once read() returned 0 for the file: its length and CRC-32.
    std::uint64_t fileSize(std::size_t index) const { return results_[index].size; }
    std::uint32_t fileCrc(std::size_t index) const { return results_[index].crc; }
    // Once read() returned 0 for the file: where its chunks start.
    const ZipChunkIndex& chunkIndex(std::size_t index) const { return results_[index].index; }
    // True when read() hands out WinZip AES-256 data (a password was given).
    bool encrypts() const { return !settings_.password.empty(); }
    // Uncompressed bytes whose compressed form has been handed out.
    std::uint64_t bytesDone() const { return bytesDone_; }
    // Why read() failed: names the file and the cause.
    const std::string& error() const { return error_; }

private:
    struct Input;
    struct Chunk;
    struct Workspace; // a task's deflater and read buffer, kept for the next task
    struct Result {
        std::uint64_t size = 0;
        std::uint32_t crc = 0;
        ZipChunkIndex index;
        bool finished = false;
    };

    void schedule(); // with mutex_ held
    void startHandingOut(Chunk& chunk, std::unique_lock<std::mutex>& lock);
    void handOutFirst(std::span<const unsigned char> bytes); // before any more chunk data
    void encryptionFailed(std::size_t index, const std::exception& e);
    bool openNext(); // with mutex_ held
    void work(Chunk& chunk);
    static void compress(Chunk& chunk, ZipChunkDeflater& deflater, AlignedBuffer& input);

    const std::vector<std::string> paths_;
    const Settings settings_;

    std::mutex mutex_;
    std::condition_variable chunkDone_;
    std::deque<std::unique_ptr<Chunk>> window_; // scheduled, not yet handed out, in order
    std::vector<ZipBuffer> spareBuffers_;
    std::vector<std::unique_ptr<Workspace>> workspaces_; // not in use

    // Scheduling position.
    std::size_t nextFile_ = 0;
    std::shared_ptr<Input> input_;
    std::uint64_t inputOffset_ = 0;
    std::uint64_t inputSize_ = 0;
    std::size_t inputChunkSize_ = 0;
    bool scheduleStopped_ = false;

    // Reading position (reader's thread only).
    std::size_t outPos_ = 0;
    std::unique_ptr<ZipAesEncryptor> cipher_; // the current file's
    // Bytes that go out before the next chunk's: the encryption header or trailer.
    unsigned char extra_[18];
    std::size_t extraSize_ = 0;
    std::size_t extraPos_ = 0;
    std::vector<Result> results_;
    std::uint64_t bytesDone_ = 0;
    std::string error_;
    bool failed_ = false;

    // Last: destroyed first, it drops the chunks not yet started and waits
    // for the running ones, which use the members above.
    WorkerPool pool_;
};

} // namespace trelmig
