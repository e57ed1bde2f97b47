#include "archive/ZipCrc32.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>
#include <zlib.h>

using namespace trelmig;

// The folding path takes whole 16-byte blocks from 64 bytes on and leaves the
// rest to zlib: lengths around those edges, every alignment, and continuing
// from a previous value must all give zlib's answer.
TEST(ZipCrc32, AgreesWithZlib) {
    std::mt19937 gen(14);
    std::vector<unsigned char> data(1 << 20);
    for (auto& byte : data)
        byte = static_cast<unsigned char>(gen());
    std::vector<std::size_t> lengths = {0,
                                        1,
                                        15,
                                        16,
                                        17,
                                        63,
                                        64,
                                        65,
                                        79,
                                        80,
                                        127,
                                        128,
                                        129,
                                        255,
                                        256,
                                        4095,
                                        4096,
                                        65537,
                                        data.size() - 64};
    for (int i = 0; i < 200; ++i)
        lengths.push_back(gen() % 20000);
    for (std::size_t length : lengths)
        for (std::size_t offset : {0, 1, 7, 13}) {
            const std::uint32_t start = gen();
            const auto expected = static_cast<std::uint32_t>(
                crc32(start, data.data() + offset, static_cast<uInt>(length)));
            ASSERT_EQ(zipCrc32(start, data.data() + offset, length), expected)
                << length << " bytes at offset " << offset;
        }
    // In pieces, as the decoder feeds it.
    std::uint32_t pieces = 0;
    for (std::size_t at = 0; at < data.size();) {
        const std::size_t n = std::min<std::size_t>(1 + gen() % 70000, data.size() - at);
        pieces = zipCrc32(pieces, data.data() + at, n);
        at += n;
    }
    EXPECT_EQ(pieces, crc32(0, data.data(), static_cast<uInt>(data.size())));
}
