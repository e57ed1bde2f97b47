#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reading and patching little-endian fields of an archive's bytes.
inline void putLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i, value >>= 8)
        bytes[at + i] = static_cast<char>(value & 0xff);
}

inline std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}
