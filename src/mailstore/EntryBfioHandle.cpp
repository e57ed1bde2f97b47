#include "mailstore/EntryBfioHandle.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace trelmig {

namespace {

// libbfio's io handle: the source and this handle's place in it.
struct BfioIo {
    std::shared_ptr<EntryBfioSource> source;
    std::uint64_t position = 0;
    bool open = false;
};

BfioIo* ioOf(intptr_t* io) {
    return reinterpret_cast<BfioIo*>(io);
}

int freeIo(intptr_t** io, libbfio_error_t** /*error*/) {
    if (!io)
        return -1;
    delete ioOf(*io);
    *io = nullptr;
    return 1;
}

int cloneIo(intptr_t** destination, intptr_t* source, libbfio_error_t** /*error*/) {
    if (!destination || !source || *destination)
        return -1;
    *destination = reinterpret_cast<intptr_t*>(new (std::nothrow) BfioIo{ioOf(source)->source});
    return *destination ? 1 : -1;
}

int openIo(intptr_t* io, int accessFlags, libbfio_error_t** /*error*/) {
    if (!io || (accessFlags & LIBBFIO_ACCESS_FLAG_WRITE) != 0)
        return -1;
    ioOf(io)->open = true;
    ioOf(io)->position = 0;
    return 1;
}

int closeIo(intptr_t* io, libbfio_error_t** /*error*/) {
    if (!io)
        return -1;
    ioOf(io)->open = false;
    return 0;
}

ssize_t readIo(intptr_t* io, std::uint8_t* buffer, std::size_t size, libbfio_error_t** /*error*/) {
    if (!io || !buffer || !ioOf(io)->open)
        return -1;
    BfioIo& handle = *ioOf(io);
    size = std::min<std::size_t>(size, std::numeric_limits<ssize_t>::max());
    const Result<std::size_t> read = handle.source->read(handle.position, {buffer, size});
    if (!read)
        return -1;
    handle.position += *read;
    return static_cast<ssize_t>(*read);
}

ssize_t writeIo(intptr_t*, const std::uint8_t*, std::size_t, libbfio_error_t**) {
    return -1;
}

off64_t seekIo(intptr_t* io, off64_t offset, int whence, libbfio_error_t** /*error*/) {
    if (!io)
        return -1;
    BfioIo& handle = *ioOf(io);
    const auto size = static_cast<off64_t>(handle.source->size());
    off64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<off64_t>(handle.position);
    else if (whence == SEEK_END)
        base = size;
    else if (whence != SEEK_SET)
        return -1;
    if ((offset > 0 && base > std::numeric_limits<off64_t>::max() - offset) || base + offset < 0)
        return -1;
    handle.position = static_cast<std::uint64_t>(base + offset);
    return base + offset;
}

int existsIo(intptr_t* io, libbfio_error_t** /*error*/) {
    return io ? 1 : -1;
}

int isOpenIo(intptr_t* io, libbfio_error_t** /*error*/) {
    return io ? (ioOf(io)->open ? 1 : 0) : -1;
}

int sizeIo(intptr_t* io, size64_t* size, libbfio_error_t** /*error*/) {
    if (!io || !size)
        return -1;
    *size = ioOf(io)->source->size();
    return 1;
}

} // namespace

std::shared_ptr<EntryBfioSource>
EntryBfioSource::Over(std::shared_ptr<ZipEntryRandomReader> reader) {
    const std::uint64_t size = reader->size();
    return std::make_shared<EntryBfioSource>(
        size, [reader = std::move(reader)](std::uint64_t offset, std::span<unsigned char> out) {
            return reader->read(offset, out);
        });
}

std::shared_ptr<EntryBfioSource> EntryBfioSource::Over(std::span<const unsigned char> bytes) {
    return std::make_shared<EntryBfioSource>(
        bytes.size(),
        [bytes](std::uint64_t offset, std::span<unsigned char> out) -> Result<std::size_t> {
            if (offset >= bytes.size())
                return 0;
            const std::size_t n =
                std::min<std::size_t>(out.size(), bytes.size() - static_cast<std::size_t>(offset));
            std::memcpy(out.data(), bytes.data() + offset, n);
            return n;
        });
}

Result<std::size_t> EntryBfioSource::read(std::uint64_t offset, std::span<unsigned char> out) {
    Result<std::size_t> read = readAt_(offset, out);
    if (!read) {
        const std::lock_guard lock(mutex_);
        lastError_ = read.error().message;
    }
    return read;
}

std::string EntryBfioSource::lastError() const {
    const std::lock_guard lock(mutex_);
    return lastError_;
}

libbfio_handle_t* NewEntryBfioHandle(std::shared_ptr<EntryBfioSource> source) {
    auto* io = new BfioIo{std::move(source)};
    libbfio_handle_t* handle = nullptr;
    if (libbfio_handle_initialize(&handle, reinterpret_cast<intptr_t*>(io), freeIo, cloneIo, openIo,
                                  closeIo, readIo, writeIo, seekIo, existsIo, isOpenIo, sizeIo,
                                  LIBBFIO_FLAG_IO_HANDLE_MANAGED, nullptr) != 1) {
        delete io;
        return nullptr;
    }
    return handle;
}

} // namespace trelmig
