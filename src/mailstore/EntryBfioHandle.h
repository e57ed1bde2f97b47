#pragma once

#include "archive/ZipEntryRandomReader.h"
#include "core/Error.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include <libbfio.h>

namespace trelmig {

// What a libbfio handle of ours reads: a range reader over bytes of a known
// size (an entry of a backup, read in parts). libbfio's errors cannot be made
// outside libbfio, so a failed read answers -1 to libpff and its reason is
// kept here for the message the user reads.
class EntryBfioSource {
public:
    using ReadAt =
        std::function<Result<std::size_t>(std::uint64_t offset, std::span<unsigned char> out)>;

    EntryBfioSource(std::uint64_t size, ReadAt readAt) : size_(size), readAt_(std::move(readAt)) {}
    // Reads through the entry's random reader, which it keeps.
    static std::shared_ptr<EntryBfioSource> Over(std::shared_ptr<ZipEntryRandomReader> reader);
    // Reads bytes in memory that outlive the source.
    static std::shared_ptr<EntryBfioSource> Over(std::span<const unsigned char> bytes);

    std::uint64_t size() const { return size_; }
    Result<std::size_t> read(std::uint64_t offset, std::span<unsigned char> out);
    // Why the last read failed; empty when none has.
    std::string lastError() const;

private:
    std::uint64_t size_;
    ReadAt readAt_;
    mutable std::mutex mutex_;
    std::string lastError_;
};

// A new libbfio handle, not yet open, that reads source: read, seek and size
// go to it; it cannot be written. Each clone libbfio makes has its own
// position over the same source. Freed with libbfio_handle_free, by whoever
// holds it then (libpff's file takes it over in OpenPffStore). Null when
// libbfio cannot make one.
libbfio_handle_t* NewEntryBfioHandle(std::shared_ptr<EntryBfioSource> source);

} // namespace trelmig
