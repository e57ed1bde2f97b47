#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace trelmig {

// Large files that are written once and read once (a backup's point-in-time
// copies, archives and their read-back) go past the page cache (O_DIRECT)
// where the file system allows it: caching them only costs a fresh page for
// every 4 KiB (slow on virtual machines that hand freed memory back to their
// host) and pushes the user's own files out of the cache. Reading an archive
// back from the device is also the stronger check. Direct transfers need
// offsets, lengths and memory aligned to kDirectAlign; where the file system
// refuses them, the plain descriptor serves.
inline constexpr std::size_t kDirectAlign = 4096;

// path opened again with O_DIRECT and flags; -1 where that is refused.
int openDirect(const std::string& path, int flags);

// Memory aligned for direct transfers, kept between reads.
class AlignedBuffer {
public:
    // Makes room for n bytes; the content is lost when it grows.
    void reserve(std::size_t n);
    unsigned char* data() { return data_.get(); }

private:
    struct Free {
        void operator()(unsigned char* p) const;
    };
    std::unique_ptr<unsigned char, Free> data_;
    std::size_t capacity_ = 0;
};

// Writes all of data at offset through fd; the error number, 0 when written.
int writeAllAt(int fd, const unsigned char* data, std::size_t length, std::uint64_t offset);

// Writes data at offset: its whole aligned pages through directFd (when not
// -1; copied into buffer first unless they lie aligned in memory), the ragged
// ends and everything else through fd. A direct write refused as such sets
// directFd to -1 (closing it stays the caller's), and the plain descriptor
// serves. The error number, 0 when written.
int writeMostlyDirect(int& directFd, int fd, AlignedBuffer& buffer, const unsigned char* data,
                      std::size_t length, std::uint64_t offset);

inline constexpr std::size_t kReadSlack = 16;

// Reads length bytes at offset into buffer: through directFd when it is not -1
// and the transfer is accepted, else through fd. Returns where the bytes are,
// with at least kReadSlack bytes of room after them; null when the file ends
// before them (errno 0) or cannot be read (errno says why).
unsigned char* readAt(int directFd, int fd, AlignedBuffer& buffer, std::size_t length,
                      std::uint64_t offset);

} // namespace trelmig
