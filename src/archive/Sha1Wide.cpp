#include "archive/Sha1Wide.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include <openssl/crypto.h>

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#define TRELMIG_SHA1_WIDE 1
#endif

namespace trelmig {

#ifdef TRELMIG_SHA1_WIDE

namespace {

#define TRELMIG_AVX512 __attribute__((target("avx512f")))
#define TRELMIG_AVX512_INLINE TRELMIG_AVX512 __attribute__((always_inline)) inline

// A rotation of every lane by N. Masked with every lane set: the plain
// intrinsic leaves GCC 12 warning of an undefined operand it never uses. N is
// a template argument because clang takes only a constant there.
template <int N> TRELMIG_AVX512_INLINE __m512i rol(__m512i x) {
    return _mm512_maskz_rol_epi32(0xFFFF, x, N);
}

using Words = __m512i[5];
using Schedule = __m512i[16];

constexpr std::array<std::uint32_t, 5> kInitial = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476,
                                                   0xC3D2E1F0};

// Round T and the rounds after it. The schedule's indices are constants, so
// that the sixteen words stay in registers.
template <int T>
TRELMIG_AVX512_INLINE void rounds(__m512i& a, __m512i& b, __m512i& c, __m512i& d, __m512i& e,
                                  Schedule& w) {
    if constexpr (T >= 16)
        w[T & 15] = rol<1>(_mm512_ternarylogic_epi32(
            w[(T - 3) & 15], w[(T - 8) & 15], _mm512_xor_si512(w[(T - 14) & 15], w[T & 15]), 0x96));
    __m512i f;
    std::uint32_t k;
    if constexpr (T < 20) {
        f = _mm512_ternarylogic_epi32(b, c, d, 0xCA); // b ? c : d
        k = 0x5A827999;
    } else if constexpr (T < 40) {
        f = _mm512_ternarylogic_epi32(b, c, d, 0x96); // b ^ c ^ d
        k = 0x6ED9EBA1;
    } else if constexpr (T < 60) {
        f = _mm512_ternarylogic_epi32(b, c, d, 0xE8); // majority
        k = 0x8F1BBCDC;
    } else {
        f = _mm512_ternarylogic_epi32(b, c, d, 0x96);
        k = 0xCA62C1D6;
    }
    const __m512i sum = _mm512_add_epi32(
        _mm512_add_epi32(rol<5>(a), f),
        _mm512_add_epi32(_mm512_add_epi32(e, _mm512_set1_epi32(static_cast<int>(k))), w[T & 15]));
    e = d;
    d = c;
    c = rol<30>(b);
    b = a;
    a = sum;
    if constexpr (T + 1 < 80)
        rounds<T + 1>(a, b, c, d, e, w);
}

// out = start with the block w compressed into it (w is used up).
TRELMIG_AVX512_INLINE void compress(const Words& start, Schedule& w, Words& out) {
    __m512i a = start[0], b = start[1], c = start[2], d = start[3], e = start[4];
    rounds<0>(a, b, c, d, e, w);
    out[0] = _mm512_add_epi32(a, start[0]);
    out[1] = _mm512_add_epi32(b, start[1]);
    out[2] = _mm512_add_epi32(c, start[2]);
    out[3] = _mm512_add_epi32(d, start[3]);
    out[4] = _mm512_add_epi32(e, start[4]);
}

// The block holding a digest after one block of key: the HMAC's second half.
TRELMIG_AVX512_INLINE void digestBlock(const Words& digest, Schedule& w) {
    for (int i = 0; i < 5; ++i)
        w[i] = digest[i];
    w[5] = _mm512_set1_epi32(static_cast<int>(0x80000000u));
    for (int i = 6; i < 15; ++i)
        w[i] = _mm512_setzero_si512();
    w[15] = _mm512_set1_epi32((64 + 20) * 8);
}

TRELMIG_AVX512_INLINE void broadcast(const Sha1State& state, Words& out) {
    for (int i = 0; i < 5; ++i)
        out[i] = _mm512_set1_epi32(static_cast<int>(state[i]));
}

// Big-endian words of each lane's 64-byte block, lane by lane into registers.
TRELMIG_AVX512_INLINE void loadBlocks(const std::array<std::array<unsigned char, 64>, 16>& blocks,
                                      Schedule& w) {
    alignas(64) std::uint32_t words[16][16];
    for (int l = 0; l < 16; ++l)
        for (int i = 0; i < 16; ++i) {
            const unsigned char* p = &blocks[l][4 * i];
            words[i][l] = std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 |
                          std::uint32_t(p[2]) << 8 | p[3];
        }
    for (int i = 0; i < 16; ++i)
        w[i] = _mm512_load_si512(words[i]);
    OPENSSL_cleanse(words, sizeof words);
}

TRELMIG_AVX512 void storeStates(const Words& words, std::size_t lanes, Sha1State* states) {
    alignas(64) std::uint32_t values[5][16];
    for (int i = 0; i < 5; ++i)
        _mm512_store_si512(values[i], words[i]);
    for (std::size_t l = 0; l < lanes; ++l)
        for (int i = 0; i < 5; ++i)
            states[l][i] = values[i][l];
    OPENSSL_cleanse(values, sizeof values);
}

} // namespace

bool sha1WideSupported() {
    static const bool supported = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid_count(7, 0, &a, &b, &c, &d) || (b & bit_AVX512F) == 0)
            return false;
        // The operating system saves the registers' upper halves and mask registers.
        if (!__get_cpuid(1, &a, &b, &c, &d) || (c & bit_OSXSAVE) == 0)
            return false;
        unsigned lo = 0, hi = 0;
        __asm__("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
        return (lo & 0xE6) == 0xE6;
    }();
    return supported;
}

TRELMIG_AVX512 void pbkdf2Sha1Wide(const Sha1State& inner, const Sha1State& outer,
                                   const unsigned char* const* messages, std::size_t messageSize,
                                   std::size_t lanes, unsigned rounds, Sha1State* sums) {
    lanes = std::min(lanes, kSha1WideLanes);
    // The first round: the HMAC of the message, one block after the key's.
    std::array<std::array<unsigned char, 64>, 16> blocks{};
    for (std::size_t l = 0; l < kSha1WideLanes; ++l) {
        auto& block = blocks[l];
        std::copy_n(messages[std::min(l, lanes - 1)], messageSize, block.begin());
        block[messageSize] = 0x80;
        const std::uint64_t bits = (64 + messageSize) * 8;
        block[62] = static_cast<unsigned char>(bits >> 8);
        block[63] = static_cast<unsigned char>(bits);
    }
    Words innerStart, outerStart, digest, u, sum;
    broadcast(inner, innerStart);
    broadcast(outer, outerStart);
    Schedule w;
    loadBlocks(blocks, w);
    compress(innerStart, w, digest);
    digestBlock(digest, w);
    compress(outerStart, w, u);
    for (int i = 0; i < 5; ++i)
        sum[i] = u[i];
    for (unsigned r = 1; r < rounds; ++r) {
        digestBlock(u, w);
        compress(innerStart, w, digest);
        digestBlock(digest, w);
        compress(outerStart, w, u);
        for (int i = 0; i < 5; ++i)
            sum[i] = _mm512_xor_si512(sum[i], u[i]);
    }
    storeStates(sum, lanes, sums);
    OPENSSL_cleanse(blocks.data(), sizeof blocks);
}

TRELMIG_AVX512 void sha1FirstBlockWide(const unsigned char* const* blocks, std::size_t lanes,
                                       Sha1State* states) {
    lanes = std::min(lanes, kSha1WideLanes);
    std::array<std::array<unsigned char, 64>, 16> copies{};
    for (std::size_t l = 0; l < lanes; ++l)
        std::copy_n(blocks[l], 64, copies[l].begin());
    Words start, out;
    broadcast(kInitial, start);
    Schedule w;
    loadBlocks(copies, w);
    compress(start, w, out);
    storeStates(out, lanes, states);
    OPENSSL_cleanse(copies.data(), sizeof copies);
}

#else

bool sha1WideSupported() {
    return false;
}

void pbkdf2Sha1Wide(const Sha1State&, const Sha1State&, const unsigned char* const*, std::size_t,
                    std::size_t, unsigned, Sha1State*) {}

void sha1FirstBlockWide(const unsigned char* const*, std::size_t, Sha1State*) {}

#endif

} // namespace trelmig
