#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace trelmig {

// Where each chunk of an entry's deflate stream starts, so that a reader can
// decode the chunks of one large entry on several cores. Our writer compresses
// every chunk with a fresh deflate state (no match reaches into the chunk
// before) and ends it byte-aligned; the index goes into an extra field of its
// own in the entry's local and central headers, which other zip readers skip.
//
// The field's data, little-endian: version (1 byte, 1), reserved (1 byte, 0),
// the uncompressed chunk size (4 bytes; every chunk but the last holds exactly
// that much), the chunk count (4 bytes) and each chunk's deflated size (4
// bytes each), in order. The deflated sizes add up to the entry's deflate
// stream, without the encryption's header and trailer.
struct ZipChunkIndex {
    static constexpr std::uint16_t kFieldId = 0x564b; // "KV"
    static constexpr std::size_t kMinChunkSize = std::size_t(1) << 20;
    static constexpr std::size_t kMaxChunkSize = std::size_t(64) << 20;
    // 32 KiB of sizes at most: the field stays well inside a header's 64 KiB.
    static constexpr std::size_t kMaxChunks = 8192;

    std::uint32_t chunkSize = 0;
    std::vector<std::uint32_t> deflatedSizes;

    // The chunk size the writer uses for a file of that size: smallest, doubled
    // until the file needs no more than kMaxChunks.
    static std::size_t chunkSizeFor(std::uint64_t fileSize, std::size_t smallest = kMinChunkSize);
    static std::size_t chunkCount(std::uint64_t fileSize, std::size_t chunkSize);
    // The field's data.
    std::vector<unsigned char> encode() const;
    // Data of the field's final length that no reader takes for an index:
    // what the header carries until the chunks are compressed.
    static std::vector<unsigned char> placeholder(std::size_t chunks);

    // The index in a field's data, checked against the entry it came with:
    // nullopt unless the version is known, the chunk size within bounds, the
    // count exactly what the entry's size needs, every deflated size non-zero
    // and no larger than a stored deflate chunk can be, and their sum the
    // entry's deflated length. An index from outside is untrusted: whatever
    // it says, a reader given this one stays inside the entry.
    static std::optional<ZipChunkIndex> parse(std::span<const unsigned char> field,
                                              std::uint64_t size, std::uint64_t deflatedLength);

    // The uncompressed size of chunk i for an entry of that size.
    std::size_t chunkLength(std::size_t i, std::uint64_t size) const;
};

} // namespace trelmig
