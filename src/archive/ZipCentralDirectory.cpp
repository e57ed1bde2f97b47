#include "archive/ZipCentralDirectory.h"

#include "archive/ZipChunkIndex.h"
#include "archive/ZipCrc32.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <zip.h>

namespace trelmig {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kMaxComment = 0xffff;
constexpr std::uint16_t kEncryptedFlag = 0x0001;
constexpr std::uint16_t kDescriptorFlag = 0x0008;
constexpr std::uint16_t kStrongEncryptionFlag = 0x0040;
constexpr std::uint16_t kUtf8Flag = 0x0800;
constexpr std::uint16_t kWinZipAesMethod = 99;

std::uint64_t le(const unsigned char* p, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes; i-- > 0;)
        value = value << 8 | p[i];
    return value;
}

std::uint32_t readU32At(int fd, std::uint64_t offset) {
    unsigned char bytes[4];
    return readFullyAt(fd, bytes, sizeof bytes, offset) ? static_cast<std::uint32_t>(le(bytes, 4))
                                                        : 0;
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

std::unexpected<Error> ZipCentralDirectory::fail(std::string why) {
    records_.clear();
    return Fail(std::move(why));
}

Result<void> ZipCentralDirectory::read(int fd) {
    records_.clear();
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail("the archive cannot be read");
    fileSize_ = static_cast<std::uint64_t>(st.st_size);
    if (auto end = readEnd(fd); !end)
        return end;
    if (auto read = readRecords(fd); !read)
        return read;
    return readLocalHeaders(fd);
}

Result<void> ZipCentralDirectory::readEnd(int fd) {
    if (fileSize_ < kEndSize)
        return fail("the archive has no central directory");
    // The end record lies before a comment of at most 64 KiB. Every place that
    // could be one is looked at: a second that points at a directory of its
    // own (a decoy in the comment) would be followed by some zip programs.
    const std::size_t tailSize =
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize_, kEndSize + kMaxComment));
    std::vector<unsigned char> tail(tailSize);
    const std::uint64_t tailStart = fileSize_ - tailSize;
    if (!readFullyAt(fd, tail.data(), tail.size(), tailStart))
        return fail("the archive cannot be read");
    std::optional<std::size_t> chosen;
    bool anySignature = false;
    for (std::size_t at = tailSize - kEndSize + 1; at-- > 0;) {
        const unsigned char* e = &tail[at];
        if (le(e, 4) != kEndSignature || at + kEndSize + le(e + 20, 2) > tailSize)
            continue;
        anySignature = true;
        const std::uint64_t endOffset = tailStart + at;
        const std::uint64_t count = le(e + 10, 2);
        const std::uint64_t size = le(e + 12, 4);
        const std::uint64_t offset = le(e + 16, 4);
        const bool zip64 = count == 0xffff || size == 0xffffffff || offset == 0xffffffff;
        const bool hasLocator =
            endOffset >= kZip64LocatorSize &&
            readU32At(fd, endOffset - kZip64LocatorSize) == kZip64LocatorSignature;
        const bool plausible =
            hasLocator || (!zip64 && offset + size <= endOffset &&
                           (count == 0 ? size == 0 : readU32At(fd, offset) == kCentralSignature));
        if (!plausible)
            continue;
        if (chosen)
            return fail("it has more than one end record, each naming a directory of its own "
                        "(zip programs may read different entries from it)");
        chosen = at;
    }
    if (!chosen)
        return fail(anySignature ? "the archive's end record points nowhere"
                                 : "the archive has no central directory");
    const unsigned char* e = &tail[*chosen];
    const std::uint64_t endOffset = tailStart + *chosen;
    if (le(e + 4, 2) != 0 || le(e + 6, 2) != 0 || le(e + 8, 2) != le(e + 10, 2))
        return fail("the archive spans several discs");
    count_ = le(e + 10, 2);
    directorySize_ = le(e + 12, 4);
    directoryOffset_ = le(e + 16, 4);
    endStart_ = endOffset;

    if (endOffset >= kZip64LocatorSize &&
        readU32At(fd, endOffset - kZip64LocatorSize) == kZip64LocatorSignature) {
        const std::uint64_t locatorOffset = endOffset - kZip64LocatorSize;
        unsigned char locator[kZip64LocatorSize];
        unsigned char record[kZip64EndSize];
        if (!readFullyAt(fd, locator, sizeof locator, locatorOffset))
            return fail("the archive's Zip64 directory cannot be read");
        const std::uint64_t end64 = le(locator + 8, 8);
        if (end64 > locatorOffset || locatorOffset - end64 < kZip64EndSize ||
            !readFullyAt(fd, record, sizeof record, end64) || le(record, 4) != kZip64EndSignature)
            return fail("the archive's Zip64 directory cannot be read");
        if (le(record + 16, 4) != 0 || le(record + 20, 4) != 0 ||
            le(record + 24, 8) != le(record + 32, 8))
            return fail("the archive spans several discs");
        const std::uint64_t count64 = le(record + 32, 8);
        const std::uint64_t size64 = le(record + 40, 8);
        const std::uint64_t offset64 = le(record + 48, 8);
        // The ordinary end record's numbers stand unless they are the Zip64
        // markers; a reader that takes one and a reader that takes the other
        // must find the same directory.
        if ((count_ != 0xffff && count_ != count64) ||
            (directorySize_ != 0xffffffff && directorySize_ != size64) ||
            (directoryOffset_ != 0xffffffff && directoryOffset_ != offset64))
            return fail("its Zip64 end record and its end record name different directories");
        count_ = count64;
        directorySize_ = size64;
        directoryOffset_ = offset64;
        endStart_ = end64;
    } else if (count_ == 0xffff || directorySize_ == 0xffffffff || directoryOffset_ == 0xffffffff) {
        return fail("the archive's Zip64 directory cannot be read");
    }

    if (count_ > kMaxEntries)
        return fail("it holds " + std::to_string(count_) + " entries, more than " +
                    std::to_string(kMaxEntries) + " entries a backup can hold");
    if (directorySize_ > kMaxDirectoryBytes)
        return fail("its directory of " + std::to_string(directorySize_) +
                    " bytes is larger than a backup's can be (" +
                    std::to_string(kMaxDirectoryBytes >> 20) + " MiB)");
    if (directoryOffset_ > endStart_ || directorySize_ > endStart_ - directoryOffset_ ||
        count_ > directorySize_ / kCentralSize)
        return fail("the archive's central directory lies outside the file");
    return {};
}

Result<void> ZipCentralDirectory::readRecords(int fd) {
    std::vector<unsigned char> directory(static_cast<std::size_t>(directorySize_));
    if (!readFullyAt(fd, directory.data(), directory.size(), directoryOffset_))
        return fail("the archive's central directory cannot be read");
    records_.reserve(static_cast<std::size_t>(count_));
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < count_; ++i) {
        if (directory.size() - at < kCentralSize || le(&directory[at], 4) != kCentralSignature)
            return fail("the archive's central directory is damaged");
        const unsigned char* r = &directory[at];
        const std::size_t nameLength = le(r + 28, 2);
        const std::size_t extraLength = le(r + 30, 2);
        const std::size_t commentLength = le(r + 32, 2);
        if (directory.size() - at - kCentralSize < nameLength + extraLength + commentLength)
            return fail("the archive's central directory is damaged");
        Record record;
        record.flags = static_cast<std::uint16_t>(le(r + 8, 2));
        record.method = static_cast<std::uint16_t>(le(r + 10, 2));
        record.crc = static_cast<std::uint32_t>(le(r + 16, 4));
        record.compressedSize = le(r + 20, 4);
        record.size = le(r + 24, 4);
        record.localHeaderOffset = le(r + 42, 4);
        record.storedName.assign(reinterpret_cast<const char*>(r + kCentralSize), nameLength);
        record.name = record.storedName;
        record.utf8Name = (record.flags & kUtf8Flag) != 0;
        std::optional<std::uint16_t> aesStrength;
        std::uint16_t aesMethod = 0;

        const unsigned char* extra = r + kCentralSize + nameLength;
        for (std::size_t e = 0; e + 4 <= extraLength;) {
            const std::size_t id = le(extra + e, 2);
            const std::size_t size = le(extra + e + 2, 2);
            if (e + 4 + size > extraLength)
                break;
            const unsigned char* v = extra + e + 4;
            if (id == 0x0001) {
                // Zip64: the values whose 32-bit fields are all ones, in this order.
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
                if (!next(record.size) || !next(record.compressedSize) ||
                    !next(record.localHeaderOffset))
                    return fail("the archive's Zip64 sizes are damaged");
            } else if (id == 0x9901 && size >= 7) {
                aesStrength = static_cast<std::uint16_t>(v[4]);
                aesMethod = static_cast<std::uint16_t>(le(v + 5, 2));
            } else if (id == ZipChunkIndex::kFieldId) {
                record.chunkIndex.assign(v, v + size);
            } else if (id == 0x7075 && size >= 5 && v[0] == 1 &&
                       le(v + 1, 4) == zipCrc32(0, r + kCentralSize, nameLength)) {
                // Info-ZIP's Unicode path: the UTF-8 name, for a name stored without the flag.
                record.name.assign(reinterpret_cast<const char*>(v + 5), size - 5);
                record.utf8Name = true;
            }
            e += 4 + size;
        }

        if (record.method == kWinZipAesMethod) {
            if (!aesStrength || *aesStrength < 1 || *aesStrength > 3)
                return fail("the archive's encryption of an entry is damaged");
            record.encryption = static_cast<std::uint16_t>(ZIP_EM_AES_128 + *aesStrength - 1);
            record.method = aesMethod;
        } else if (record.flags & kEncryptedFlag) {
            record.encryption =
                (record.flags & kStrongEncryptionFlag) ? ZIP_EM_UNKNOWN : ZIP_EM_TRAD_PKWARE;
        } else {
            record.encryption = ZIP_EM_NONE;
        }
        records_.push_back(std::move(record));
        at += kCentralSize + nameLength + extraLength + commentLength;
    }
    if (at != directory.size())
        return fail("its directory holds more than its " + std::to_string(count_) + " entries");
    return {};
}

Result<void> ZipCentralDirectory::readLocalHeaders(int fd) {
    // What each entry occupies, from its local header to the end of its data
    // (and data descriptor), beside the directory and the end records.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;
    spans.reserve(records_.size() + 2);
    for (Record& record : records_) {
        unsigned char header[kLocalSize];
        if (record.localHeaderOffset > fileSize_ ||
            !readFullyAt(fd, header, sizeof header, record.localHeaderOffset) ||
            le(header, 4) != kLocalSignature)
            return fail("an entry's local header is missing");
        record.dataOffset =
            record.localHeaderOffset + kLocalSize + le(header + 26, 2) + le(header + 28, 2);
        if (record.dataOffset > fileSize_ || record.compressedSize > fileSize_ - record.dataOffset)
            return fail("an entry's data runs past the end of the archive");
        std::uint64_t end = record.dataOffset + record.compressedSize;
        if (record.flags & kDescriptorFlag) {
            const std::uint64_t descriptor = readU32At(fd, end) == kDescriptorSignature ? 16 : 12;
            if (fileSize_ - end >= descriptor)
                end += descriptor;
        }
        spans.emplace_back(record.localHeaderOffset, end);
    }
    spans.emplace_back(directoryOffset_, directoryOffset_ + directorySize_);
    spans.emplace_back(endStart_, fileSize_);
    std::sort(spans.begin(), spans.end());
    std::uint64_t reached = 0;
    for (const auto& [start, end] : spans) {
        if (start < reached)
            return fail("its entries overlap each other or its directory (possible zip bomb)");
        reached = std::max(reached, end);
    }
    return {};
}

Result<std::uint64_t> ZipCentralDirectory::dataOffset(int, std::size_t index) const {
    if (index >= records_.size())
        return Fail("the archive has no such entry");
    return records_[index].dataOffset;
}

} // namespace trelmig
