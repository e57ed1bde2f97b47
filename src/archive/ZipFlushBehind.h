#pragma once

#include "core/WorkerPool.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>

namespace trelmig {

// Takes a file written in pieces, from several threads and in any order, to
// the disk behind its writers, who never wait for the disk themselves. As
// the written part before the first gap grows, a thread of this object's own
// hands it to the disk (without waiting), and a window later waits until
// the disk has it and drops those pages from the cache, so that the next
// pieces reuse them instead of taking fresh memory (slow on virtual machines
// that hand freed memory back to their host). A writer waits only when that
// thread is a few steps behind: the cache this file holds stays bounded.
// Only clean pages go; the caller still flushes the file before relying on it.
//
// A second thread flushes the file to the device itself (fdatasync) every
// few dozen MiB handed over, skipping a turn while its last flush runs. On
// disks with a write cache, and on virtual machines whose host holds what the
// guest wrote, that flush costs about as long as the data it covers: done
// behind the writers it overlaps the decoding, instead of all of it waiting
// at the end for the caller's flush.
class ZipFlushBehind {
public:
    explicit ZipFlushBehind(int fd);
    // Stops; what was not yet handed over or dropped stays in the cache.
    ~ZipFlushBehind();
    ZipFlushBehind(const ZipFlushBehind&) = delete;
    ZipFlushBehind& operator=(const ZipFlushBehind&) = delete;

    // length bytes at offset are written: from any thread.
    void written(std::uint64_t offset, std::uint64_t length);
    // The error number of the first failure the disk reported for this file,
    // 0 while there is none. It must reach the caller: a flush through
    // another descriptor of the file would not report it again.
    int error() const { return error_; }
    // Waits until every step handed over so far is done; error() is final
    // afterwards (when no writer goes on).
    void drain();

private:
    void flush(std::uint64_t startFrom, std::uint64_t startTo, std::uint64_t dropFrom,
               std::uint64_t dropTo);
    void failed(int err);
    void flushDevice();

    const int fd_;
    std::mutex mutex_;
    std::map<std::uint64_t, std::uint64_t> ahead_; // written pieces past contiguous_: start, end
    std::uint64_t contiguous_ = 0;                 // everything before it is written
    std::uint64_t started_ = 0;                    // handed to the disk before it
    std::uint64_t dropped_ = 0;                    // to be dropped before it
    std::uint64_t deviceFlushedAt_ = 0;            // started_ when the last device flush began
    bool deviceFlushRunning_ = false;
    std::atomic<int> error_{0};
    // last: their threads end before the members they use
    WorkerPool flusher_;
    WorkerPool deviceFlusher_;
};

} // namespace trelmig
