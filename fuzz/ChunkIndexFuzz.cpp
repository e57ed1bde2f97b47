// An entry's chunk index, and the entry decoded on several threads by it.
// Input: the entry's size (4 bytes, little-endian), the index field's length
// (2 bytes) and data, then the entry's stored deflate data. Whatever the index
// says, no decoded byte may land outside the entry.
#include "FuzzInput.h"
#include "archive/ZipChunkIndex.h"
#include "archive/ZipChunkedDecoder.h"

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

using namespace trelmig;

TRELMIG_FUZZ_TARGET(ChunkIndex) {
    if (size < 6)
        return 0;
    // Under 4 MiB: a few chunks of the smallest size.
    const std::uint64_t entrySize = data[0] | data[1] << 8 | std::uint64_t(data[2] & 0x3f) << 16;
    const std::size_t fieldLength = std::min<std::size_t>(data[4] | data[5] << 8, size - 6);
    const std::span<const std::uint8_t> field(data + 6, fieldLength);
    const std::span<const std::uint8_t> stored(data + 6 + fieldLength, size - 6 - fieldLength);
    const auto index = ZipChunkIndex::parse(field, entrySize, stored.size());
    if (!index)
        return 0;
    std::uint64_t deflated = 0, inflated = 0;
    for (std::size_t i = 0; i < index->deflatedSizes.size(); ++i) {
        deflated += index->deflatedSizes[i];
        inflated += index->chunkLength(i, entrySize);
    }
    if (deflated != stored.size() || inflated != entrySize)
        std::abort();

    const std::string file = fuzz::ScratchFile(stored.data(), stored.size(), "entry");
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    ZipStoredEntry entry;
    entry.size = entrySize;
    entry.compressedSize = stored.size();
    entry.method = ZIP_CM_DEFLATE;
    ZipChunkedDecoder decoder(fd, -1, {}, 2);
    decoder.decode(entry, *index, 0,
                   [&](const unsigned char*, std::size_t length, std::uint64_t at) {
                       if (at + length > entrySize)
                           std::abort();
                       return true;
                   });
    ::close(fd);
    return 0;
}
