#include "archive/ZipEntrySource.h"

#include "archive/ZipDeflatePipeline.h"

#include <cerrno>
#include <exception>
#include <utility>

namespace trelmig {

ZipEntrySource::ZipEntrySource(ZipDeflatePipeline& pipeline, std::size_t index, std::uint64_t size,
                               std::time_t mtime, AfterRead afterRead)
    : pipeline_(pipeline), index_(index), size_(size), mtime_(mtime),
      afterRead_(std::move(afterRead)) {
    zip_error_init(&error_);
}

ZipEntrySource::~ZipEntrySource() {
    zip_error_fini(&error_);
}

zip_source_t* ZipEntrySource::open(zip_t* za) {
    return zip_source_function(za, &ZipEntrySource::callback, this);
}

zip_int64_t ZipEntrySource::callback(void* self, void* data, zip_uint64_t length,
                                     zip_source_cmd_t cmd) {
    auto* source = static_cast<ZipEntrySource*>(self);
    switch (cmd) {
    case ZIP_SOURCE_OPEN:
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_READ:
        // No exception may cross libzip's C frames.
        try {
            return source->read(data, length);
        } catch (const std::exception& e) {
            return source->readFailed(e.what());
        } catch (...) {
            return source->readFailed("an unknown failure while reading the data");
        }
    case ZIP_SOURCE_STAT:
        return source->stat(data, length);
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source->error_, data, length);
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_READABLE;
    default:
        zip_error_set(&source->error_, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

zip_int64_t ZipEntrySource::read(void* data, zip_uint64_t length) {
    if (finished_)
        return 0;
    std::int64_t n = pipeline_.read(index_, data, length);
    if (n < 0)
        return readFailed(pipeline_.error().c_str());
    if (n == 0) {
        finished_ = true;
        if (whenDataEnds_)
            if (Result<void> ended = whenDataEnds_(); !ended)
                return readFailed(ended.error().message.c_str());
    } else if (afterRead_) {
        if (Result<void> goOn = afterRead_(); !goOn)
            return readFailed(goOn.error().message.c_str());
    }
    return n;
}

zip_int64_t ZipEntrySource::readFailed(const char* why) noexcept {
    try {
        if (!failure_)
            failure_ = Error{why};
    } catch (...) { // no memory even for the reason: libzip's own words stand
    }
    zip_error_set(&error_, ZIP_ER_READ, EIO);
    return -1;
}

zip_int64_t ZipEntrySource::stat(void* data, zip_uint64_t length) {
    auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error_);
    if (!st)
        return -1;
    zip_stat_init(st);
    st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD | ZIP_STAT_MTIME;
    st->comp_method = ZIP_CM_DEFLATE;
    st->encryption_method = pipeline_.encrypts() ? ZIP_EM_AES_256 : ZIP_EM_NONE;
    st->mtime = mtime_;
    st->size = size_;
    // Before the data is read libzip needs only the size (it decides Zip64
    // from it, leaving the compressed size to be measured); afterwards it
    // takes the true size and CRC-32 for the headers it rewrites.
    if (finished_) {
        st->valid |= ZIP_STAT_CRC;
        st->size = pipeline_.fileSize(index_);
        st->crc = pipeline_.fileCrc(index_);
    }
    return sizeof(zip_stat_t);
}

} // namespace trelmig
