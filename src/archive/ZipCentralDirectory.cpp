#include "archive/ZipCentralDirectory.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace trelmig {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kMaxComment = 0xffff;

std::uint64_t le(const unsigned char* p, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes; i-- > 0;)
        value = value << 8 | p[i];
    return value;
}

} // namespace

bool readFullyAt(int fd, void* data, std::size_t length, std::uint64_t offset) {
    auto* bytes = static_cast<unsigned char*>(data);
    while (length > 0) {
        const ssize_t n = ::pread(fd, bytes, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        length -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool ZipCentralDirectory::fail(std::string why) {
    error_ = std::move(why);
    records_.clear();
    return false;
}

bool ZipCentralDirectory::read(int fd) {
    records_.clear();
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail("the archive cannot be read");
    fileSize_ = static_cast<std::uint64_t>(st.st_size);
    if (fileSize_ < kEndSize)
        return fail("the archive has no central directory");

    // The end record is the last one in the file, before a comment of at most 64 KiB.
    const std::size_t tailSize =
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize_, kEndSize + kMaxComment));
    std::vector<unsigned char> tail(tailSize);
    const std::uint64_t tailStart = fileSize_ - tailSize;
    if (!readFullyAt(fd, tail.data(), tail.size(), tailStart))
        return fail("the archive cannot be read");
    std::size_t end = tailSize - kEndSize + 1;
    bool found = false;
    while (!found && end-- > 0)
        found = le(&tail[end], 4) == kEndSignature &&
                end + kEndSize + le(&tail[end + 20], 2) <= tailSize;
    if (!found)
        return fail("the archive has no central directory");
    std::uint64_t count = le(&tail[end + 10], 2);
    std::uint64_t directorySize = le(&tail[end + 12], 4);
    std::uint64_t directoryOffset = le(&tail[end + 16], 4);
    const std::uint64_t endOffset = tailStart + end;
    if (count == 0xffff || directorySize == 0xffffffff || directoryOffset == 0xffffffff) {
        unsigned char locator[kZip64LocatorSize];
        unsigned char record[kZip64EndSize];
        if (endOffset < kZip64LocatorSize ||
            !readFullyAt(fd, locator, sizeof locator, endOffset - kZip64LocatorSize) ||
            le(locator, 4) != kZip64LocatorSignature ||
            !readFullyAt(fd, record, sizeof record, le(locator + 8, 8)) ||
            le(record, 4) != kZip64EndSignature)
            return fail("the archive's Zip64 directory cannot be read");
        count = le(record + 32, 8);
        directorySize = le(record + 40, 8);
        directoryOffset = le(record + 48, 8);
    }
    if (directoryOffset > fileSize_ || directorySize > fileSize_ - directoryOffset ||
        count > directorySize / kCentralSize)
        return fail("the archive's central directory lies outside the file");

    std::vector<unsigned char> directory(static_cast<std::size_t>(directorySize));
    if (!readFullyAt(fd, directory.data(), directory.size(), directoryOffset))
        return fail("the archive's central directory cannot be read");
    records_.reserve(static_cast<std::size_t>(count));
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (directory.size() - at < kCentralSize || le(&directory[at], 4) != kCentralSignature)
            return fail("the archive's central directory is damaged");
        const unsigned char* r = &directory[at];
        const std::size_t nameLength = le(r + 28, 2);
        const std::size_t extraLength = le(r + 30, 2);
        const std::size_t commentLength = le(r + 32, 2);
        if (directory.size() - at - kCentralSize < nameLength + extraLength + commentLength)
            return fail("the archive's central directory is damaged");
        std::uint64_t uncompressed = le(r + 24, 4);
        Record record{le(r + 20, 4), le(r + 42, 4)};
        // Zip64 extra field: the values whose 32-bit fields are all ones, in this order.
        const unsigned char* extra = r + kCentralSize + nameLength;
        for (std::size_t e = 0; e + 4 <= extraLength;) {
            const std::size_t id = le(extra + e, 2);
            const std::size_t size = le(extra + e + 2, 2);
            if (e + 4 + size > extraLength)
                break;
            if (id == 0x0001) {
                const unsigned char* v = extra + e + 4;
                std::size_t left = size;
                auto next = [&](std::uint64_t& field) {
                    if (field != 0xffffffff)
                        return true;
                    if (left < 8)
                        return false;
                    field = le(v, 8);
                    v += 8;
                    left -= 8;
                    return true;
                };
                if (!next(uncompressed) || !next(record.compressedSize) ||
                    !next(record.localHeaderOffset))
                    return fail("the archive's Zip64 sizes are damaged");
            }
            e += 4 + size;
        }
        records_.push_back(record);
        at += kCentralSize + nameLength + extraLength + commentLength;
    }
    error_.clear();
    return true;
}

std::optional<std::uint64_t> ZipCentralDirectory::dataOffset(int fd, std::size_t index,
                                                             std::string& why) const {
    if (index >= records_.size()) {
        why = "the archive has no such entry";
        return std::nullopt;
    }
    const Record& record = records_[index];
    unsigned char header[kLocalSize];
    if (!readFullyAt(fd, header, sizeof header, record.localHeaderOffset) ||
        le(header, 4) != kLocalSignature) {
        why = "the entry's local header is missing";
        return std::nullopt;
    }
    const std::uint64_t data =
        record.localHeaderOffset + kLocalSize + le(header + 26, 2) + le(header + 28, 2);
    if (data > fileSize_ || record.compressedSize > fileSize_ - data) {
        why = "the entry's data runs past the end of the archive";
        return std::nullopt;
    }
    return data;
}

} // namespace trelmig
