#include "platform/DirectIo.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace trelmig {

int writeAllAt(int fd, const unsigned char* data, std::size_t length, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n =
            ::pwrite(fd, data + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int writeMostlyDirect(int& directFd, int fd, AlignedBuffer& buffer, const unsigned char* data,
                      std::size_t length, std::uint64_t offset) {
    const std::uint64_t end = offset + length;
    const std::uint64_t directFrom = (offset + kDirectAlign - 1) / kDirectAlign * kDirectAlign;
    const std::uint64_t directTo = end / kDirectAlign * kDirectAlign;
    if (directFd < 0 || directTo <= directFrom)
        return writeAllAt(fd, data, length, offset);
    const auto head = static_cast<std::size_t>(directFrom - offset);
    const auto middle = static_cast<std::size_t>(directTo - directFrom);
    const unsigned char* aligned = data + head;
    if (reinterpret_cast<std::uintptr_t>(aligned) % kDirectAlign != 0) {
        buffer.reserve(middle);
        std::memcpy(buffer.data(), aligned, middle);
        aligned = buffer.data();
    }
    int err = writeAllAt(directFd, aligned, middle, directFrom);
    if (err == EINVAL) {
        directFd = -1;
        err = writeAllAt(fd, data + head, middle, directFrom);
    }
    if (err == 0)
        err = writeAllAt(fd, data, head, offset);
    if (err == 0)
        err = writeAllAt(fd, data + head + middle, static_cast<std::size_t>(end - directTo),
                         directTo);
    return err;
}

int openDirect(const std::string& path, int flags) {
    return ::open(path.c_str(), flags | O_DIRECT | O_CLOEXEC);
}

void AlignedBuffer::Free::operator()(unsigned char* p) const {
    std::free(p);
}

void AlignedBuffer::reserve(std::size_t n) {
    if (n <= capacity_)
        return;
    const std::size_t size = (n + kDirectAlign - 1) / kDirectAlign * kDirectAlign;
    auto* p = static_cast<unsigned char*>(std::aligned_alloc(kDirectAlign, size));
    if (!p)
        throw std::bad_alloc();
    data_.reset(p);
    capacity_ = size;
}

unsigned char* readAt(int directFd, int fd, AlignedBuffer& buffer, std::size_t length,
                      std::uint64_t offset) {
    errno = 0;
    if (directFd >= 0) {
        const std::uint64_t start = offset / kDirectAlign * kDirectAlign;
        const std::uint64_t end =
            (offset + length + kDirectAlign - 1) / kDirectAlign * kDirectAlign;
        const auto span = static_cast<std::size_t>(end - start);
        buffer.reserve(span + kReadSlack);
        std::size_t got = 0;
        bool refused = false;
        // A read that ends early has met the end of the file; the next would
        // start unaligned.
        while (got < span) {
            const ssize_t n =
                ::pread(directFd, buffer.data() + got, span - got, static_cast<off_t>(start + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                refused = errno == EINVAL;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
            if (got % kDirectAlign != 0)
                break;
        }
        const std::size_t skip = static_cast<std::size_t>(offset - start);
        if (got >= skip + length)
            return buffer.data() + skip;
        if (!refused)
            return nullptr;
    }
    buffer.reserve(length + kReadSlack);
    errno = 0; // a refused direct read's reason is no reason here
    for (std::size_t got = 0; got < length;) {
        const ssize_t n =
            ::pread(fd, buffer.data() + got, length - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return nullptr;
        got += static_cast<std::size_t>(n);
    }
    return buffer.data();
}

} // namespace trelmig
