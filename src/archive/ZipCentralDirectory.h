#pragma once

#include "core/Error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// The one reading of an archive's structure: its end record (Zip64 too), its
// central directory and every entry's local header. Each entry's name, sizes,
// CRC-32, method, encryption and the place of its stored bytes come from here;
// every reader of entry data works from this list.
//
// An archive is refused when it can be read more than one way or would make a
// reader write more than it holds: more than one plausible end record, a Zip64
// end record that disagrees with the ordinary one, a directory that is not
// exactly its stated records, or entries whose local headers and data overlap
// each other, the directory or the end records (the overlapping-entry zip
// bombs). It is also refused beyond kMaxEntries entries or kMaxDirectoryBytes
// of directory, so that reading it takes bounded time and memory.
class ZipCentralDirectory {
public:
    static constexpr std::uint64_t kMaxEntries = 65535;
    static constexpr std::uint64_t kMaxDirectoryBytes = 64u << 20;

    struct Record {
        std::string storedName;       // the bytes stored
        std::string name;             // storedName, or Info-ZIP's Unicode path
        bool utf8Name = false;        // name is UTF-8 (the flag, or the Unicode path field)
        std::uint16_t flags = 0;      // general purpose flags
        std::uint16_t method = 0;     // compression (the real one under WinZip AES)
        std::uint16_t encryption = 0; // ZIP_EM_* as libzip names them
        std::uint32_t crc = 0;
        std::uint64_t size = 0;           // uncompressed
        std::uint64_t compressedSize = 0; // stored, with the encryption's header and trailer
        std::uint64_t localHeaderOffset = 0;
        std::uint64_t dataOffset = 0;          // the first stored byte
        std::vector<unsigned char> chunkIndex; // our chunk index field's data (ZipChunkIndex)
    };

    // Reads the archive open at fd; fails, saying why, when it cannot be read
    // or is refused.
    Result<void> read(int fd);
    // Records in central directory order (libzip's entry indexes).
    const std::vector<Record>& records() const { return records_; }
    // The offset of the first stored byte of entry index; fails when there
    // is no such entry. Safe from several threads.
    Result<std::uint64_t> dataOffset(int fd, std::size_t index) const;

private:
    // Forgets the records read so far.
    std::unexpected<Error> fail(std::string why);
    Result<void> readEnd(int fd);
    Result<void> readRecords(int fd);
    Result<void> readLocalHeaders(int fd);

    std::vector<Record> records_;
    std::uint64_t fileSize_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t directoryOffset_ = 0;
    std::uint64_t directorySize_ = 0;
    std::uint64_t endStart_ = 0; // the first byte of the end records
};

// Reads exactly length bytes at offset; false when the file ends first or
// the read fails (errno set then).
bool readFullyAt(int fd, void* data, std::size_t length, std::uint64_t offset);

} // namespace trelmig
