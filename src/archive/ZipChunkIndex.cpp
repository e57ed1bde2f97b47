#include "archive/ZipChunkIndex.h"

#include <algorithm>

namespace trelmig {

namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr unsigned char kVersion = 1;

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void putLe32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i, v >>= 8)
        out.push_back(static_cast<unsigned char>(v));
}

// The most a deflate chunk of n bytes takes: stored blocks (5 bytes per
// 64 KiB) and the flush that ends it.
std::uint64_t deflatedBound(std::uint64_t n) {
    return n + 5 * (n / 65535 + 1) + 16;
}

} // namespace

std::size_t ZipChunkIndex::chunkSizeFor(std::uint64_t fileSize, std::size_t smallest) {
    std::size_t size = std::max<std::size_t>(smallest, 1);
    while (size < kMaxChunkSize && chunkCount(fileSize, size) > kMaxChunks)
        size *= 2;
    return size;
}

std::size_t ZipChunkIndex::chunkCount(std::uint64_t fileSize, std::size_t chunkSize) {
    // Not (size + chunkSize - 1) / chunkSize: a stated size near 2^64 would wrap.
    return static_cast<std::size_t>(fileSize / chunkSize + (fileSize % chunkSize != 0));
}

std::vector<unsigned char> ZipChunkIndex::encode() const {
    std::vector<unsigned char> out{kVersion, 0};
    out.reserve(kHeaderSize + 4 * deflatedSizes.size());
    putLe32(out, chunkSize);
    putLe32(out, static_cast<std::uint32_t>(deflatedSizes.size()));
    for (std::uint32_t size : deflatedSizes)
        putLe32(out, size);
    return out;
}

std::vector<unsigned char> ZipChunkIndex::placeholder(std::size_t chunks) {
    return std::vector<unsigned char>(kHeaderSize + 4 * chunks, 0); // version 0: no index
}

std::size_t ZipChunkIndex::chunkLength(std::size_t i, std::uint64_t size) const {
    const std::uint64_t start = std::uint64_t(i) * chunkSize;
    return static_cast<std::size_t>(std::min<std::uint64_t>(chunkSize, size - start));
}

std::optional<ZipChunkIndex> ZipChunkIndex::parse(std::span<const unsigned char> field,
                                                  std::uint64_t size,
                                                  std::uint64_t deflatedLength) {
    if (field.size() < kHeaderSize || field[0] != kVersion || field[1] != 0 || size == 0)
        return std::nullopt;
    ZipChunkIndex index;
    index.chunkSize = le32(field.data() + 2);
    const std::uint32_t count = le32(field.data() + 6);
    if (index.chunkSize < kMinChunkSize || index.chunkSize > kMaxChunkSize || count == 0 ||
        count > kMaxChunks || field.size() != kHeaderSize + 4 * std::size_t(count) ||
        count != chunkCount(size, index.chunkSize))
        return std::nullopt;
    index.deflatedSizes.reserve(count);
    std::uint64_t sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t deflated = le32(field.data() + kHeaderSize + 4 * std::size_t(i));
        if (deflated == 0 || deflated > deflatedBound(index.chunkLength(i, size)))
            return std::nullopt;
        sum += deflated;
        index.deflatedSizes.push_back(deflated);
    }
    if (sum != deflatedLength)
        return std::nullopt;
    return index;
}

} // namespace trelmig
