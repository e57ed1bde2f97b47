// A tiny baseline JPEG writer for the pictures of the sample prefix: the image
// is a grid of flat-coloured 8x8 blocks, so every block needs only its DC
// coefficient and an end-of-block code. The result is a small, valid JFIF file.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace sample {

struct Rgb {
    int r, g, b;
};

namespace jpeg {

class BitWriter {
public:
    explicit BitWriter(std::vector<unsigned char>& out) : out_(out) {}

    void put(std::uint32_t bits, int count) {
        for (int i = count - 1; i >= 0; --i) {
            acc_ = static_cast<unsigned char>((acc_ << 1) | ((bits >> i) & 1));
            if (++filled_ == 8)
                flushByte();
        }
    }

    // Pads the last byte with one bits, as the format asks.
    void finish() {
        while (filled_ != 0)
            put(1, 1);
    }

private:
    void flushByte() {
        out_.push_back(acc_);
        if (acc_ == 0xFF)
            out_.push_back(0x00); // byte stuffing
        acc_ = 0;
        filled_ = 0;
    }

    std::vector<unsigned char>& out_;
    unsigned char acc_ = 0;
    int filled_ = 0;
};

// The usual luminance DC table (categories 0 to 11).
inline const unsigned char kDcCounts[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};

inline void dcCode(int category, std::uint32_t& code, int& length) {
    std::uint32_t c = 0;
    int symbol = 0;
    for (int len = 1; len <= 16; ++len) {
        for (int k = 0; k < kDcCounts[len - 1]; ++k, ++symbol, ++c) {
            if (symbol == category) {
                code = c;
                length = len;
                return;
            }
        }
        c <<= 1;
    }
}

inline void segment(std::vector<unsigned char>& out, unsigned char marker,
                    const std::vector<unsigned char>& body) {
    out.push_back(0xFF);
    out.push_back(marker);
    const std::size_t len = body.size() + 2;
    out.push_back(static_cast<unsigned char>(len >> 8));
    out.push_back(static_cast<unsigned char>(len));
    out.insert(out.end(), body.begin(), body.end());
}

} // namespace jpeg

inline std::vector<unsigned char> flatBlockJpeg(int blocksWide, int blocksHigh,
                                                const std::function<Rgb(int, int)>& colour) {
    using namespace jpeg;
    std::vector<unsigned char> out = {0xFF, 0xD8};
    segment(out, 0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});

    std::vector<unsigned char> dqt = {0x00};
    dqt.insert(dqt.end(), 64, 8);
    segment(out, 0xDB, dqt);

    const int width = blocksWide * 8;
    const int height = blocksHigh * 8;
    segment(out, 0xC0,
            {8, static_cast<unsigned char>(height >> 8), static_cast<unsigned char>(height),
             static_cast<unsigned char>(width >> 8), static_cast<unsigned char>(width), 3, 1, 0x11,
             0, 2, 0x11, 0, 3, 0x11, 0});

    std::vector<unsigned char> dht = {0x00};
    dht.insert(dht.end(), kDcCounts, kDcCounts + 16);
    for (unsigned char s = 0; s < 12; ++s)
        dht.push_back(s);
    dht.push_back(0x10); // AC table 0: the end-of-block symbol alone, code "0"
    dht.push_back(1);
    dht.insert(dht.end(), 15, 0);
    dht.push_back(0x00);
    segment(out, 0xC4, dht);

    segment(out, 0xDA, {3, 1, 0x00, 2, 0x00, 3, 0x00, 0, 63, 0});

    BitWriter bits(out);
    int previous[3] = {0, 0, 0};
    for (int by = 0; by < blocksHigh; ++by) {
        for (int bx = 0; bx < blocksWide; ++bx) {
            const Rgb c = colour(bx, by);
            const double ycc[3] = {
                0.299 * c.r + 0.587 * c.g + 0.114 * c.b,
                -0.168736 * c.r - 0.331264 * c.g + 0.5 * c.b + 128,
                0.5 * c.r - 0.418688 * c.g - 0.081312 * c.b + 128,
            };
            for (int k = 0; k < 3; ++k) {
                // With a quantiser of 8, a flat block's DC value is its level minus 128.
                const int dc = static_cast<int>(std::lround(ycc[k])) - 128;
                const int diff = dc - previous[k];
                previous[k] = dc;
                int category = 0;
                for (int m = diff < 0 ? -diff : diff; m != 0; m >>= 1)
                    ++category;
                std::uint32_t code = 0;
                int length = 0;
                dcCode(category, code, length);
                bits.put(code, length);
                if (category > 0) {
                    const int extra = diff > 0 ? diff : diff + (1 << category) - 1;
                    bits.put(static_cast<std::uint32_t>(extra), category);
                }
                bits.put(0, 1); // end of block
            }
        }
    }
    bits.finish();
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

} // namespace sample
