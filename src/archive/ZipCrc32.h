#pragma once

#include <cstddef>
#include <cstdint>

namespace trelmig {

// The CRC-32 of zip entries, continued from crc over the next bytes: the same
// values as zlib's crc32(). zlib 1.2.13 computes it a byte-table at a time
// (under 1 GB/s), slower than decrypting and inflating together; on processors
// with carry-less multiplication the bulk of the data is folded 64 bytes at a
// time instead.
std::uint32_t zipCrc32(std::uint32_t crc, const unsigned char* data, std::size_t length);

} // namespace trelmig
