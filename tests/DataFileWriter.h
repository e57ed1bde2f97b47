#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// Stands in for Outlook writing its open data file: rewrites it in 4 KB
// pieces, front to back and over again, until it is stopped.
class DataFileWriter {
public:
    explicit DataFileWriter(const std::filesystem::path& file)
        : fd_(::open(file.c_str(), O_WRONLY | O_CLOEXEC)),
          size_(static_cast<off_t>(std::filesystem::file_size(file))) {
        thread_ = std::thread([this] {
            std::vector<char> piece(4096);
            unsigned round = 0;
            while (!stop_.load()) {
                std::memset(piece.data(), 'a' + static_cast<int>(round++ % 26), piece.size());
                for (off_t at = 0; at + 4096 <= size_ && !stop_.load(); at += 4096) {
                    if (::pwrite(fd_, piece.data(), piece.size(), at) > 0)
                        ++pieces_;
                }
            }
        });
    }
    ~DataFileWriter() { stop(); }
    void stop() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    long pieces() const { return pieces_.load(); }
    // Returns once the writer is at work.
    void waitUntilWriting() const {
        while (pieces_.load() < 64)
            std::this_thread::yield();
    }

private:
    int fd_;
    off_t size_;
    std::atomic<bool> stop_{false};
    std::atomic<long> pieces_{0};
    std::thread thread_;
};

// A file of `size` bytes that is not all zeros (a data file's worth).
inline void writeDataFile(const std::filesystem::path& file, std::size_t size) {
    std::string block(1 << 16, '\0');
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>((i * 7919) & 0xff);
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (std::size_t done = 0; done < size; done += block.size())
        if (::write(fd, block.data(), std::min(block.size(), size - done)) < 0)
            break;
    ::close(fd);
}
