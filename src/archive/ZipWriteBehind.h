#pragma once

#include "core/Error.h"
#include "core/WorkerPool.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace trelmig {

class ZipExtractedFile;

// Writes an extracted entry to its file from a thread of its own, so that
// decoding goes on while the kernel copies the data and waits for the disk.
// Each full buffer of 1 MiB becomes a task of a one-thread pool that belongs
// to this writer alone: the decoding task that fills the buffers may wait for
// it, which a slot in the decoders' pool could not promise. A few buffers are
// in flight at most: memory stays bounded whatever the entry's size.
class ZipWriteBehind {
public:
    explicit ZipWriteBehind(ZipExtractedFile& file);
    // Stops the writer; what was not yet written is dropped.
    ~ZipWriteBehind();
    ZipWriteBehind(const ZipWriteBehind&) = delete;
    ZipWriteBehind& operator=(const ZipWriteBehind&) = delete;

    // Hands the bytes to the writer, waiting while every buffer is full.
    // Fails once a write has failed, with its reason.
    Result<void> write(const unsigned char* data, std::size_t length);
    // Waits until everything handed over is written; fails when a write failed.
    Result<void> finish();

private:
    bool handOver(); // the buffer being filled goes to the writer
    // The writer's failure, once there is one (kept in error_).
    Result<void> writerState();

    ZipExtractedFile& file_;
    std::vector<unsigned char> filling_;
    std::mutex spareMutex_;
    std::vector<std::vector<unsigned char>> spare_; // written, ready to fill again
    std::string error_;                             // the writer's failure, once taken from it
    WorkerPool writer_; // last: its thread ends before the members it uses
};

} // namespace trelmig
