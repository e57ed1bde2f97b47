#pragma once

#include "archive/ZipChunkDeflater.h"
#include "core/WorkerPool.h"
#include "platform/DirectIo.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include <zip.h>

namespace trelmig {

// The file libzip writes a new archive into: a writable zip_source_function
// that gathers libzip's small writes into large blocks and writes them with
// pwrite in a thread of its own (a one-thread pool of this file's: libzip's
// thread waits for it when the queue is full), so that the thread running
// zip_close (which also encrypts every byte) does not spend its time in the
// kernel. Seeks (libzip goes back to complete each local header) start a new
// block; blocks are written in order, so a later write of the same bytes wins.
//
// A failed write is reported by the next write libzip makes or, at the
// latest, when it commits the archive.
class ZipOutputFile {
public:
    // Opens path (an existing, empty file) for writing.
    explicit ZipOutputFile(std::string path);
    ~ZipOutputFile();
    ZipOutputFile(const ZipOutputFile&) = delete;
    ZipOutputFile& operator=(const ZipOutputFile&) = delete;

    // A libzip source writing into this object, which must outlive it; for
    // zip_open_from_source with ZIP_CREATE | ZIP_TRUNCATE. Null on failure.
    zip_source_t* source(zip_error_t* error);
    // Why writing failed (the system's words); empty when it did not.
    std::string error();

private:
    struct Block {
        std::uint64_t offset = 0;
        ZipBuffer data;
    };

    static zip_int64_t callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t cmd);
    zip_int64_t write(const void* data, zip_uint64_t length);
    zip_int64_t seek(void* data, zip_uint64_t length);
    bool drain(); // hands over the open block and waits until all is written
    void handOver();
    void writeBlock(Block& block);
    bool writeFailed();
    zip_int64_t failWith(int zipError, int systemError);
    void keepFailure(const char* why) noexcept;

    std::string path_;
    int fd_ = -1;
    int directOpened_ = -1; // the same file, for direct writes
    int directFd_ = -1;     // directOpened_ until a direct write is refused (writing thread)
    AlignedBuffer aligned_; // writing thread only
    int openErrno_ = 0;
    zip_error_t zipError_;

    // libzip's side (the thread calling zip_close).
    std::uint64_t position_ = 0;
    std::uint64_t end_ = 0;
    bool written_ = false;
    Block open_;

    // Shared with the writing thread.
    std::mutex mutex_;
    std::vector<ZipBuffer> spare_;
    std::string error_;
    int errno_ = 0;

    WorkerPool writer_; // last: its thread ends before the members it uses
};

} // namespace trelmig
