#include "archive/ZipCrc32.h"

#include <zlib.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TRELMIG_CRC32_FOLDING 1
#endif

namespace trelmig {

namespace {

#ifdef TRELMIG_CRC32_FOLDING

constexpr std::size_t kFoldBlock = 64;

#define TRELMIG_CLMUL __attribute__((target("pclmul,sse4.1")))

TRELMIG_CLMUL inline __m128i load(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// x carried 128 bits further with the constant pair k, and next added.
TRELMIG_CLMUL inline __m128i fold(__m128i x, __m128i k, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(x, k, 0x00);
    const __m128i high = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// Folds whole 16-byte blocks (at least four of them) into the bit-reflected
// CRC register crc, with the constants of the reflected polynomial 0xEDB88320
// (x^(4*128+32) mod P, x^(4*128-32) mod P, ... and the Barrett reduction
// constants). Returns the register, not yet inverted.
TRELMIG_CLMUL std::uint32_t foldCrc32(std::uint32_t crc, const unsigned char* buf,
                                      std::size_t len) {
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i k5k0 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);

    __m128i x1 = _mm_xor_si128(load(buf), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = load(buf + 16);
    __m128i x3 = load(buf + 32);
    __m128i x4 = load(buf + 48);
    buf += kFoldBlock;
    len -= kFoldBlock;
    while (len >= kFoldBlock) {
        x1 = fold(x1, k1k2, load(buf));
        x2 = fold(x2, k1k2, load(buf + 16));
        x3 = fold(x3, k1k2, load(buf + 32));
        x4 = fold(x4, k1k2, load(buf + 48));
        buf += kFoldBlock;
        len -= kFoldBlock;
    }
    x1 = fold(x1, k3k4, x2);
    x1 = fold(x1, k3k4, x3);
    x1 = fold(x1, k3k4, x4);
    while (len >= 16) {
        x1 = fold(x1, k3k4, load(buf));
        buf += 16;
        len -= 16;
    }

    // 128 bits to 64, then the Barrett reduction to 32.
    const __m128i mask = _mm_setr_epi32(~0, 0, ~0, 0);
    __m128i x2r = _mm_clmulepi64_si128(x1, k3k4, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2r);
    x2r = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k5k0, 0x00), x2r);
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x1, mask), poly, 0x10);
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x2r, mask), poly, 0x00);
    x1 = _mm_xor_si128(x1, x2r);
    return static_cast<std::uint32_t>(_mm_extract_epi32(x1, 1));
}

bool canFold() {
    static const bool supported =
        __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return supported;
}

#endif

std::uint32_t zlibCrc32(std::uint32_t crc, const unsigned char* data, std::size_t length) {
    while (length > 0) {
        const uInt part = length > (1u << 30) ? (1u << 30) : static_cast<uInt>(length);
        crc = static_cast<std::uint32_t>(crc32(crc, data, part));
        data += part;
        length -= part;
    }
    return crc;
}

} // namespace

std::uint32_t zipCrc32(std::uint32_t crc, const unsigned char* data, std::size_t length) {
#ifdef TRELMIG_CRC32_FOLDING
    if (length >= kFoldBlock && canFold()) {
        const std::size_t folded = length & ~std::size_t{15};
        crc = ~foldCrc32(~crc, data, folded);
        data += folded;
        length -= folded;
    }
#endif
    return zlibCrc32(crc, data, length);
}

} // namespace trelmig
