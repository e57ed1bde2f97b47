#include "archive/ZipEntryReader.h"

#include <vector>
#include <zlib.h>

namespace trelmig {

namespace {

constexpr std::size_t kBufferSize = std::size_t{256} * 1024;

bool isWinZipAes(std::uint16_t encryption) {
    return encryption == ZIP_EM_AES_128 || encryption == ZIP_EM_AES_192 ||
           encryption == ZIP_EM_AES_256;
}

} // namespace

EntryReadResult ZipEntryReader::read(const ZipStoredEntry& entry, const Sink& sink) {
    if (readEntry(entry, sink))
        return {};
    return std::unexpected(EntryReadFailure{error_, wrongPassword_});
}

bool ZipEntryReader::readEntry(const ZipStoredEntry& entry, const Sink& sink) {
    error_.clear();
    wrongPassword_ = false;
    if (isWinZipAes(entry.encryption) && entry.crc == 0 && entry.size > 0 &&
        entry.method == ZIP_CM_DEFLATE)
        return readInflating(entry, sink);
    bool ok = readRaw(entry, sink);
    if (!ok && !wrongPassword_ && isWinZipAes(entry.encryption) && entry.crc == 0 && entry.size > 0)
        error_ += " An AES entry stored without compression and without CRC (WinZip AE-2, as "
                  "7-Zip writes it) cannot be verified by libzip 1.7.3.";
    return ok;
}

zip_file_t* ZipEntryReader::open(const ZipStoredEntry& entry, zip_flags_t flags) {
    const char* password = entry.encryption == ZIP_EM_NONE ? nullptr : password_;
    zip_file_t* file = zip_fopen_index_encrypted(za_, entry.index, flags, password);
    if (!file) {
        int code = zip_error_code_zip(zip_get_error(za_));
        wrongPassword_ = code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_NOPASSWD;
        error_ = wrongPassword_ ? "The password is wrong." : zip_strerror(za_);
        zip_error_clear(za_);
    }
    return file;
}

bool ZipEntryReader::finish(zip_file_t* file, zip_int64_t lastRead, std::uint64_t total,
                            const ZipStoredEntry& entry, bool sinkFailed) {
    std::string readError = lastRead < 0 ? zip_file_strerror(file) : "";
    int closed = zip_fclose(file);
    if (sinkFailed)
        return false;
    if (lastRead < 0 || closed != 0) {
        std::string why = readError;
        if (why.empty()) {
            zip_error_t closeError;
            zip_error_init_with_code(&closeError, closed);
            why = zip_error_strerror(&closeError);
            zip_error_fini(&closeError);
        }
        error_ = entry.encryption != ZIP_EM_NONE
                     ? "The password is wrong or the archive is damaged (" + why + ")."
                     : "The archive is damaged (" + why + ").";
        return false;
    }
    if (total != entry.size) {
        error_ = "The entry ended after " + std::to_string(total) + " of " +
                 std::to_string(entry.size) + " bytes.";
        return false;
    }
    return true;
}

// A false size must not fill the disk: nothing beyond it reaches the sink.
bool ZipEntryReader::tooLong(const ZipStoredEntry& entry) {
    error_ = "The archive is damaged (the entry holds more than the " + std::to_string(entry.size) +
             " bytes its directory states).";
    return false;
}

bool ZipEntryReader::readRaw(const ZipStoredEntry& entry, const Sink& sink) {
    zip_file_t* file = open(entry, 0);
    if (!file)
        return false;
    std::vector<unsigned char> buffer(kBufferSize);
    std::uint64_t total = 0;
    zip_int64_t n = 0;
    bool sinkFailed = false;
    while ((n = zip_fread(file, buffer.data(), buffer.size())) > 0) {
        total += static_cast<std::uint64_t>(n);
        if (total > entry.size) {
            zip_fclose(file);
            return tooLong(entry);
        }
        if (!sink(buffer.data(), static_cast<std::size_t>(n))) {
            sinkFailed = true;
            break;
        }
    }
    return finish(file, n, total, entry, sinkFailed);
}

bool ZipEntryReader::readInflating(const ZipStoredEntry& entry, const Sink& sink) {
    zip_file_t* file = open(entry, ZIP_FL_COMPRESSED);
    if (!file)
        return false;
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) {
        zip_fclose(file);
        error_ = "Out of memory.";
        return false;
    }
    std::vector<unsigned char> in(kBufferSize), out(kBufferSize);
    std::uint64_t total = 0;
    zip_int64_t n = 0;
    bool sinkFailed = false;
    int rc = Z_OK;
    while (rc != Z_STREAM_END && !sinkFailed && (n = zip_fread(file, in.data(), in.size())) > 0) {
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(n);
        while (z.avail_in > 0 && rc != Z_STREAM_END) {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            rc = inflate(&z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END)
                break;
            std::size_t produced = out.size() - z.avail_out;
            total += produced;
            if (total > entry.size) {
                inflateEnd(&z);
                zip_fclose(file);
                return tooLong(entry);
            }
            if (produced > 0 && !sink(out.data(), produced)) {
                sinkFailed = true;
                break;
            }
        }
        if (rc != Z_OK && rc != Z_STREAM_END)
            break;
    }
    // Read on to the end so that libzip checks the authentication code.
    if (n > 0 && !sinkFailed && rc == Z_STREAM_END)
        while ((n = zip_fread(file, in.data(), in.size())) > 0) {
        }
    inflateEnd(&z);
    bool ok = finish(file, n, total, entry, sinkFailed);
    if (ok && rc != Z_STREAM_END) {
        error_ = "The entry's compressed data is damaged.";
        return false;
    }
    return ok;
}

} // namespace trelmig
