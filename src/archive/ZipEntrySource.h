#pragma once

#include "core/Error.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>

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
//
// libzip is C: nothing is thrown through it. A read that fails (the
// pipeline's, afterRead's, or an exception on the way) is kept as failure()
// and reported to libzip as -1, which fails the zip_close driving the read;
// the caller of zip_close then reports failure() in its place.
class ZipEntrySource {
public:
    // afterRead is called after every read that handed data to libzip, on
    // the thread running zip_close; an Error (the user cancelled, say) stops
    // the write with it.
    using AfterRead = std::function<Result<void>()>;
    ZipEntrySource(ZipDeflatePipeline& pipeline, std::size_t index, std::uint64_t size,
                   std::time_t mtime, AfterRead afterRead);
    ~ZipEntrySource();
    ZipEntrySource(const ZipEntrySource&) = delete;
    ZipEntrySource& operator=(const ZipEntrySource&) = delete;

    // Called once, on the thread running zip_close, when the last data was
    // read and before libzip rewrites the entry's local header; an Error
    // stops the write with it.
    void setWhenDataEnds(AfterRead whenDataEnds) { whenDataEnds_ = std::move(whenDataEnds); }

    // A new libzip source reading from this object, which must outlive it
    // (until zip_close or zip_discard returns); null with za's error set on
    // failure.
    zip_source_t* open(zip_t* za);
    // Why a read of this source failed; nullopt while none did.
    const std::optional<Error>& failure() const { return failure_; }

private:
    static zip_int64_t callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t cmd);
    zip_int64_t read(void* data, zip_uint64_t length);
    zip_int64_t stat(void* data, zip_uint64_t length);
    zip_int64_t readFailed(const char* why) noexcept;

    ZipDeflatePipeline& pipeline_;
    std::size_t index_;
    std::uint64_t size_;
    std::time_t mtime_;
    AfterRead afterRead_;
    AfterRead whenDataEnds_;
    bool finished_ = false;
    zip_error_t error_;
    std::optional<Error> failure_;
};

} // namespace trelmig
