#pragma once

#include "archive/ZipAesDecryptor.h"
#include "archive/ZipEntryReader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trelmig {

class ZipAesKeyRing;

// Turns one entry's stored bytes, read with pread from an archive file, back
// into its data: the WinZip AES password check, decryption and
// authentication (OpenSSL), inflating (zlib) and the CRC-32, with the length
// checked against the one the directory states. This is libzip's reading work
// done off its single-threaded path: one decoder per thread, several entries
// of one archive at once. Data goes to the sink as it is decoded, before the
// final checks; only a true result says the whole entry was right.
class ZipEntryDecoder {
public:
    using Sink = ZipEntryReader::Sink;

    // Stored or deflated, unencrypted or WinZip AES: what decode() reads.
    // Other entries (traditional PKWARE encryption among them) are left to
    // libzip.
    static bool handles(const ZipStoredEntry& entry);

    // fd: the archive, open for reading. password: used for AES entries;
    // keys: their keys where derived already (or null).
    ZipEntryDecoder(int fd, std::string_view password, const ZipAesKeyRing* keys = nullptr)
        : fd_(fd), password_(password), keys_(keys) {}

    // Decodes the entry whose stored bytes start at dataOffset.
    EntryReadResult decode(const ZipStoredEntry& entry, std::uint64_t dataOffset, const Sink& sink);

private:
    // false with error_ (and wrongPassword_) set on failure.
    bool decodeEntry(const ZipStoredEntry& entry, std::uint64_t dataOffset, const Sink& sink);
    bool fail(const ZipStoredEntry& entry, const std::string& why);
    // Reads an AES entry's header and checks the password; moves position
    // past the header and takes header and trailer off left.
    bool openEncryption(const ZipStoredEntry& entry, std::uint64_t& position, std::uint64_t& left,
                        std::optional<ZipAesDecryptor>& aes);
    // The checks once the data is read: the AES trailer at position, the
    // stream's end, the size and the CRC.
    bool checkEnd(const ZipStoredEntry& entry, ZipAesDecryptor* aes, std::uint64_t position,
                  bool streamEnded, std::uint64_t total, std::uint32_t crc);

    int fd_;
    std::string_view password_;
    const ZipAesKeyRing* keys_;
    std::string error_;
    bool wrongPassword_ = false;
};

} // namespace trelmig
