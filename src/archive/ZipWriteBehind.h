#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace trelmig {

class ZipExtractedFile;

// Writes an extracted entry to its file from a thread of its own, so that
// decoding goes on while the kernel copies the data and waits for the disk.
// A few buffers of 1 MiB travel between the two threads: memory stays
// bounded whatever the entry's size.
class ZipWriteBehind {
public:
    explicit ZipWriteBehind(ZipExtractedFile& file);
    // Stops the writer; what was not yet written is dropped.
    ~ZipWriteBehind();
    ZipWriteBehind(const ZipWriteBehind&) = delete;
    ZipWriteBehind& operator=(const ZipWriteBehind&) = delete;

    // Hands the bytes to the writer, waiting while every buffer is full.
    // False once a write has failed (error() says why).
    bool write(const unsigned char* data, std::size_t length);
    // Waits until everything handed over is written; false when a write failed.
    bool finish();
    const std::string& error() const { return error_; }

private:
    void run();
    void handOver(); // the buffer being filled goes to the writer

    ZipExtractedFile& file_;
    std::vector<std::vector<unsigned char>> buffers_;
    std::vector<unsigned char>* filling_ = nullptr;
    std::deque<std::vector<unsigned char>*> free_;
    std::deque<std::vector<unsigned char>*> full_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    bool failed_ = false;
    bool writing_ = false;
    std::string error_;
    std::thread writer_;
};

} // namespace trelmig
