#include "archive/Sha1Lanes.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define TRELMIG_SHA1_LANES 1
#endif

namespace trelmig {

#ifdef TRELMIG_SHA1_LANES

namespace {

constexpr std::size_t kMaxLanes = 4;

#define TRELMIG_SHA __attribute__((target("sha,sse4.1,ssse3")))

#define TRELMIG_SHA_INLINE TRELMIG_SHA __attribute__((always_inline)) inline

// Group G of the twenty groups of four rounds, on every lane, then the
// groups after it. Group G uses schedule words 4G to 4G+3, kept in w[G % 4];
// the indices are constants, so that everything stays in registers.
template <std::size_t G, std::size_t N>
TRELMIG_SHA_INLINE void groups(__m128i (&abcd)[N], __m128i (&previous)[N], __m128i (&w)[N][4],
                               const __m128i (&eStart)[N]) {
#pragma GCC unroll 4
    for (std::size_t l = 0; l < N; ++l) {
        if constexpr (G >= 4)
            w[l][G % 4] =
                _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(w[l][G % 4], w[l][(G + 1) % 4]),
                                                 w[l][(G + 2) % 4]),
                                   w[l][(G + 3) % 4]);
        const __m128i e = G == 0 ? _mm_add_epi32(eStart[l], w[l][0])
                                 : _mm_sha1nexte_epu32(previous[l], w[l][G % 4]);
        previous[l] = abcd[l];
        abcd[l] = _mm_sha1rnds4_epu32(abcd[l], e, G / 5);
    }
    if constexpr (G + 1 < 20)
        groups<G + 1, N>(abcd, previous, w, eStart);
}

template <std::size_t N>
TRELMIG_SHA void compress(Sha1State* states, const unsigned char* const* blocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd[N], previous[N], eStart[N], w[N][4];
#pragma GCC unroll 4
    for (std::size_t l = 0; l < N; ++l) {
        abcd[l] = _mm_shuffle_epi32(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(states[l].data())), 0x1B);
        eStart[l] = _mm_set_epi32(static_cast<int>(states[l][4]), 0, 0, 0);
#pragma GCC unroll 4
        for (std::size_t i = 0; i < 4; ++i)
            w[l][i] = _mm_shuffle_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks[l] + 16 * i)), byteSwap);
    }
    groups<0, N>(abcd, previous, w, eStart);
#pragma GCC unroll 4
    for (std::size_t l = 0; l < N; ++l) {
        const __m128i start = _mm_shuffle_epi32(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(states[l].data())), 0x1B);
        const __m128i eEnd = _mm_sha1nexte_epu32(previous[l], eStart[l]);
        const __m128i sum = _mm_shuffle_epi32(_mm_add_epi32(abcd[l], start), 0x1B);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(states[l].data()), sum);
        states[l][4] = static_cast<std::uint32_t>(_mm_extract_epi32(eEnd, 3));
    }
}

} // namespace

// Asked of the processor itself: not every compiler knows "sha" as a
// feature name for __builtin_cpu_supports.
bool sha1LanesSupported() {
    static const bool supported = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d))
            return false;
        const bool ssse3 = (c & bit_SSSE3) != 0;
        const bool sse41 = (c & bit_SSE4_1) != 0;
        if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
            return false;
        return ssse3 && sse41 && (b & bit_SHA) != 0;
    }();
    return supported;
}

void sha1CompressLanes(Sha1State* states, const unsigned char* const* blocks, std::size_t lanes) {
    for (; lanes >= kMaxLanes; lanes -= kMaxLanes, states += kMaxLanes, blocks += kMaxLanes)
        compress<kMaxLanes>(states, blocks);
    switch (lanes) {
    case 3:
        return compress<3>(states, blocks);
    case 2:
        return compress<2>(states, blocks);
    case 1:
        return compress<1>(states, blocks);
    default:
        return;
    }
}

#else

bool sha1LanesSupported() {
    return false;
}

void sha1CompressLanes(Sha1State*, const unsigned char* const*, std::size_t) {}

#endif

} // namespace trelmig
