#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// Where each entry's stored bytes lie in an archive file, read from its
// central directory (Zip64 too) and local headers. libzip reads the archive's
// structure but does not tell these offsets; with them, several threads read
// entries at once with pread on one descriptor. The answers are checked
// against the file's size, and the caller compares the compressed sizes with
// libzip's, so a directory libzip would read differently is refused.
class ZipCentralDirectory {
public:
    struct Record {
        std::uint64_t compressedSize = 0;
        std::uint64_t localHeaderOffset = 0;
    };

    // Reads the central directory of the archive open at fd; false (error()
    // says why) when it cannot be read.
    bool read(int fd);
    // Records in central directory order (libzip's entry indexes).
    const std::vector<Record>& records() const { return records_; }
    // The offset of the first stored byte of entry index, from its local
    // header; nullopt (why set) when the header is not there or the data
    // would run past the end of the file. Safe from several threads.
    std::optional<std::uint64_t> dataOffset(int fd, std::size_t index, std::string& why) const;
    const std::string& error() const { return error_; }

private:
    bool fail(std::string why);

    std::vector<Record> records_;
    std::uint64_t fileSize_ = 0;
    std::string error_;
};

// Reads exactly length bytes at offset; false when the file ends first or
// the read fails (errno set then).
bool readFullyAt(int fd, void* data, std::size_t length, std::uint64_t offset);

} // namespace trelmig
