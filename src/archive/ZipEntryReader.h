#pragma once

#include "core/Error.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include <zip.h>

namespace trelmig {

// What an entry holds, as read from the central directory.
struct ZipStoredEntry {
    zip_uint64_t index = 0;
    std::uint64_t size = 0;           // uncompressed
    std::uint64_t compressedSize = 0; // as stored, with the encryption's header and trailer
    std::uint16_t method = ZIP_CM_STORE;
    std::uint16_t encryption = ZIP_EM_NONE;
    std::uint32_t crc = 0;
};

// Why an entry could not be read, and whether it was its password.
struct EntryReadFailure {
    std::string message;
    bool wrongPassword = false;
};
using EntryReadResult = Result<void, EntryReadFailure>;

// Reads one entry through to its end and says whether every check passed:
// the password check, the data authentication (AES) or CRC-32, and the
// length; no more than the stated length ever reaches the sink. Data goes to sink as it is read;
// sink returns false to stop (its own failure). A wrong AES password passes the quick two-byte
// check once in 65,536 tries, so only a read to the end proves the password.
//
// WinZip AE-2 entries (as 7-Zip writes them) store no CRC, and libzip 1.7.3
// still checks one; deflated AE-2 entries are therefore read still compressed
// (authenticated by libzip) and inflated here.
class ZipEntryReader {
public:
    using Sink = std::function<bool(const unsigned char* data, std::size_t length)>;

    // password: null for none.
    ZipEntryReader(zip_t* za, const char* password) : za_(za), password_(password) {}

    EntryReadResult read(const ZipStoredEntry& entry, const Sink& sink);

private:
    // false with error_ (and wrongPassword_) set on failure.
    bool readEntry(const ZipStoredEntry& entry, const Sink& sink);
    bool readRaw(const ZipStoredEntry& entry, const Sink& sink);
    bool readInflating(const ZipStoredEntry& entry, const Sink& sink);
    bool tooLong(const ZipStoredEntry& entry);
    zip_file_t* open(const ZipStoredEntry& entry, zip_flags_t flags);
    bool finish(zip_file_t* file, zip_int64_t lastRead, std::uint64_t total,
                const ZipStoredEntry& entry, bool sinkFailed);

    zip_t* za_;
    const char* password_;
    std::string error_;
    bool wrongPassword_ = false;
};

} // namespace trelmig
