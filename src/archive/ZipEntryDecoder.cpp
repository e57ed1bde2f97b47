#include "archive/ZipEntryDecoder.h"

#include "archive/ZipAesDecryptor.h"
#include "archive/ZipAesKeyRing.h"
#include "archive/ZipAesKeys.h"
#include "archive/ZipCentralDirectory.h"
#include "archive/ZipCrc32.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>
#include <zlib.h>

namespace trelmig {

namespace {

constexpr std::size_t kChunkSize = std::size_t{512} * 1024;

struct Inflater {
    z_stream z{};
    bool ready = false;
    Inflater() { ready = inflateInit2(&z, -15) == Z_OK; }
    ~Inflater() {
        if (ready)
            inflateEnd(&z);
    }
};

} // namespace

bool ZipEntryDecoder::handles(const ZipStoredEntry& entry) {
    return (entry.method == ZIP_CM_STORE || entry.method == ZIP_CM_DEFLATE) &&
           (entry.encryption == ZIP_EM_NONE || ZipAesKeySizeOf(entry.encryption) != 0);
}

bool ZipEntryDecoder::fail(const ZipStoredEntry& entry, const std::string& why) {
    error_ = entry.encryption != ZIP_EM_NONE && !wrongPassword_
                 ? "The password is wrong or the archive is damaged (" + why + ")."
                 : "The archive is damaged (" + why + ").";
    return false;
}

bool ZipEntryDecoder::openEncryption(const ZipStoredEntry& entry, std::uint64_t& position,
                                     std::uint64_t& left, std::optional<ZipAesDecryptor>& aes) {
    const std::size_t keySize = ZipAesKeySizeOf(entry.encryption);
    if (keySize == 0)
        return true;
    const std::size_t headerSize = ZipAesDecryptor::headerSize(keySize);
    if (left < headerSize + ZipAesDecryptor::kTrailerSize)
        return fail(entry, "the entry is too short for its encryption");
    std::vector<unsigned char> header(headerSize);
    if (!readFullyAt(fd_, header.data(), header.size(), position))
        return fail(entry, "the entry cannot be read");
    if (const ZipAesKeys* keys =
            keys_ ? keys_->find(keySize, std::span(header).first(keySize / 2)) : nullptr)
        aes.emplace(*keys, keySize, header);
    else
        aes.emplace(password_, keySize, header);
    if (!aes->passwordMatches()) {
        wrongPassword_ = true;
        error_ = "The password is wrong.";
        return false;
    }
    position += headerSize;
    left -= headerSize + ZipAesDecryptor::kTrailerSize;
    return true;
}

bool ZipEntryDecoder::checkEnd(const ZipStoredEntry& entry, ZipAesDecryptor* aes,
                               std::uint64_t position, bool streamEnded, std::uint64_t total,
                               std::uint32_t crc) {
    if (aes) {
        unsigned char trailer[ZipAesDecryptor::kTrailerSize];
        if (!readFullyAt(fd_, trailer, sizeof trailer, position))
            return fail(entry, "the entry cannot be read");
        if (!aes->authentic(trailer))
            return fail(entry, "the authentication code does not match");
    }
    if (!streamEnded)
        return fail(entry, "the compressed data ends early");
    if (total != entry.size) {
        error_ = "The entry ended after " + std::to_string(total) + " of " +
                 std::to_string(entry.size) + " bytes.";
        return false;
    }
    // WinZip AE-2 entries (7-Zip's) store no CRC; the authentication code stands for it.
    if (!(aes && entry.crc == 0) && crc != entry.crc)
        return fail(entry, "CRC error");
    return true;
}

EntryReadResult ZipEntryDecoder::decode(const ZipStoredEntry& entry, std::uint64_t dataOffset,
                                        const Sink& sink) {
    if (decodeEntry(entry, dataOffset, sink))
        return {};
    return std::unexpected(EntryReadFailure{error_, wrongPassword_});
}

bool ZipEntryDecoder::decodeEntry(const ZipStoredEntry& entry, std::uint64_t dataOffset,
                                  const Sink& sink) {
    error_.clear();
    wrongPassword_ = false;
    if (!handles(entry)) {
        error_ = "The entry's compression or encryption cannot be read.";
        return false;
    }
    std::uint64_t position = dataOffset;
    std::uint64_t left = entry.compressedSize;

    std::optional<ZipAesDecryptor> aes;
    if (!openEncryption(entry, position, left, aes))
        return false;

    std::unique_ptr<Inflater> inflater;
    if (entry.method == ZIP_CM_DEFLATE) {
        inflater = std::make_unique<Inflater>();
        if (!inflater->ready) {
            error_ = "Out of memory.";
            return false;
        }
    }
    std::vector<unsigned char> in(
        static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunkSize)));
    std::vector<unsigned char> out(inflater ? kChunkSize : 0);
    std::uint64_t total = 0;
    std::uint32_t crc = 0;
    bool streamEnded = !inflater;
    bool tooLong = false;
    bool sinkFailed = false;
    auto emit = [&](const unsigned char* data, std::size_t length) {
        if (length == 0)
            return true;
        total += length;
        if (total > entry.size) {
            tooLong = true; // a false size must not fill the disk
            return false;
        }
        crc = zipCrc32(crc, data, length);
        sinkFailed = !sink(data, length);
        return !sinkFailed;
    };

    while (left > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, in.size()));
        if (!readFullyAt(fd_, in.data(), n, position))
            return fail(entry, "the entry cannot be read");
        position += n;
        left -= n;
        if (aes)
            aes->decrypt({in.data(), n});
        if (!inflater) {
            if (!emit(in.data(), n))
                break;
            continue;
        }
        if (streamEnded)
            continue; // bytes after the compressed stream: authenticated, not used
        z_stream& z = inflater->z;
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(n);
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            const int rc = inflate(&z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
                return fail(entry, "the compressed data is damaged");
            if (!emit(out.data(), out.size() - z.avail_out) || rc == Z_BUF_ERROR)
                break; // Z_BUF_ERROR: all input taken, nothing more to give out
            streamEnded = rc == Z_STREAM_END;
        } while (!streamEnded && (z.avail_in > 0 || z.avail_out == 0));
        if (tooLong || sinkFailed)
            break;
    }
    if (sinkFailed)
        return false;
    if (tooLong)
        return fail(entry, "the entry holds more than the " + std::to_string(entry.size) +
                               " bytes its directory states");
    return checkEnd(entry, aes ? &*aes : nullptr, position, streamEnded, total, crc);
}

} // namespace trelmig
