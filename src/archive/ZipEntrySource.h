#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>

#include <zip.h>

namespace trelmig {

class ZipDeflatePipeline;

// The data of one archive entry as libzip sees it: a zip_source_function
// that declares its data already deflated (and, with a password, already
// encrypted with AES-256), so libzip stores the pipeline's output as it is.
// For libzip to take the encrypted data as it is, the entry's encryption
// must be set to the same method without a password of its own.
// The size is known before the data is read; the CRC-32 is reported by the
// stat libzip makes after reading, which it writes into both headers.
class ZipEntrySource {
public:
    // afterRead is called after every read that handed data to libzip.
    ZipEntrySource(ZipDeflatePipeline& pipeline, std::size_t index, std::uint64_t size,
                   std::time_t mtime, std::function<void()> afterRead);
    ~ZipEntrySource();
    ZipEntrySource(const ZipEntrySource&) = delete;
    ZipEntrySource& operator=(const ZipEntrySource&) = delete;

    // A new libzip source reading from this object, which must outlive it
    // (until zip_close or zip_discard returns); null with za's error set on
    // failure.
    zip_source_t* open(zip_t* za);

private:
    static zip_int64_t callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t cmd);
    zip_int64_t read(void* data, zip_uint64_t length);
    zip_int64_t stat(void* data, zip_uint64_t length);

    ZipDeflatePipeline& pipeline_;
    std::size_t index_;
    std::uint64_t size_;
    std::time_t mtime_;
    std::function<void()> afterRead_;
    bool finished_ = false;
    zip_error_t error_;
};

} // namespace trelmig
