#pragma once

#include "archive/ZipAesCtr.h"
#include "archive/ZipChunkIndex.h"
#include "archive/ZipEntryReader.h"
#include "core/Error.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

struct libdeflate_decompressor;

namespace trelmig {

// Reads any range of one entry without decoding the entry from its start:
// what a data file opened inside a backup needs, whose reader jumps about a
// file of many gigabytes. A deflated entry can be read so only when it carries
// our chunk index (ZipChunkIndex): the chunks covering a range are read with
// pread, decrypted where they lie (AES counter mode is seekable) and each
// inflated whole to its known length; a few decoded chunks are kept, the ones
// used last. A stored entry is read where its bytes lie.
//
// What is checked: the AES password check (2 bytes) when the reader is made,
// and that every chunk inflates to exactly its length, else the read fails as
// damaged and hands nothing on. What cannot be: the entry's authentication
// code and CRC-32 cover the whole entry, so a range read proves neither; a
// wrong password that passes the quick check (once in 65,536) or a changed
// byte of a stored entry goes unnoticed here. Only an extraction proves an
// entry.
//
// One mutex guards the reads: safe from several threads, one read at a time.
class ZipEntryRandomReader {
public:
    // The decoded chunks kept stay within this, and within kMaxCachedChunks:
    // sixteen of the smallest chunks, one of the largest. A store's folder
    // tree lies on pages spread over its file; too few chunks kept decode the
    // same ones again and again.
    static constexpr std::size_t kCacheBytes = std::size_t(64) << 20;
    static constexpr std::size_t kMaxCachedChunks = 16;

    struct Counters {
        std::uint64_t chunksDecoded = 0; // every inflation, again after the cache lost one
        std::uint64_t bytesRead = 0;     // stored bytes read from the archive
    };

    // Whether an entry can be read this way: stored, or deflated with a chunk
    // index; unencrypted or WinZip AES.
    static bool handles(const ZipStoredEntry& entry, const std::optional<ZipChunkIndex>& index);

    // fd: the archive, open for reading; the reader takes it over and closes
    // it. dataOffset: the entry's first stored byte. Fails for an entry it
    // does not handle (the caller extracts that one), when the stored bytes do
    // not fit the entry's sizes, and for a password the check refuses
    // (wrongPassword set then).
    static Result<std::unique_ptr<ZipEntryRandomReader>, EntryReadFailure>
    open(int fd, const ZipStoredEntry& entry, std::optional<ZipChunkIndex> index,
         std::uint64_t dataOffset, std::string_view password);

    ~ZipEntryRandomReader();
    ZipEntryRandomReader(const ZipEntryRandomReader&) = delete;
    ZipEntryRandomReader& operator=(const ZipEntryRandomReader&) = delete;

    std::uint64_t size() const { return entry_.size; }
    // The entry's chunks; 0 for a stored entry.
    std::size_t chunkCount() const { return index_ ? index_->deflatedSizes.size() : 0; }
    Counters counters() const;

    // Fills out from offset on: the bytes read, fewer only at the entry's end
    // (0 at or past it). Fails when the archive cannot be read or a chunk is
    // damaged; out then holds nothing meant for use.
    Result<std::size_t> read(std::uint64_t offset, std::span<unsigned char> out);

private:
    ZipEntryRandomReader(int fd, const ZipStoredEntry& entry, std::optional<ZipChunkIndex> index);

    using Chunk = std::vector<unsigned char>;
    // The decoded chunk i, from the cache or read now.
    Result<const Chunk*> chunk(std::size_t i);
    Result<void> decode(std::size_t i, Chunk& into);
    Result<std::size_t> readStored(std::uint64_t offset, std::span<unsigned char> out);
    std::unexpected<Error> damaged(const std::string& why) const;

    int fd_;
    ZipStoredEntry entry_;
    std::optional<ZipChunkIndex> index_;
    std::vector<std::uint64_t> chunkOffsets_; // from dataStart_; one more at the end
    std::uint64_t dataStart_ = 0;             // the first byte after the encryption's header
    std::unique_ptr<ZipAesCtr> aes_;          // null without encryption
    std::size_t cacheChunks_ = 1;
    libdeflate_decompressor* inflater_ = nullptr;

    mutable std::mutex mutex_;
    std::list<std::pair<std::size_t, Chunk>> cache_; // most recently used first
    std::vector<unsigned char> stored_;
    Counters counters_;
};

} // namespace trelmig
