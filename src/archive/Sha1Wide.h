#pragma once

#include "archive/Sha1Lanes.h"

#include <cstddef>

namespace trelmig {

// PBKDF2-HMAC-SHA1 on sixteen independent chains at once, one 32-bit lane of
// AVX-512's registers each: the derivation of many entries' keys together
// runs far more chains side by side than the SHA instructions can interleave.
inline constexpr std::size_t kSha1WideLanes = 16;

// True when this processor has the AVX-512 instructions pbkdf2Sha1Wide needs.
bool sha1WideSupported();

// For each lane l below lanes: the PBKDF2 block of one HMAC key whose pad
// states (the state after the key's block xor 0x36, and xor 0x5c) are inner
// and outer, over messages[l] (messageSize bytes, at most 55: a salt and the
// block's number), in rounds rounds; the result in sums[l]. Only where
// sha1WideSupported().
void pbkdf2Sha1Wide(const Sha1State& inner, const Sha1State& outer,
                    const unsigned char* const* messages, std::size_t messageSize,
                    std::size_t lanes, unsigned rounds, Sha1State* sums);

// The state after one block (64 bytes) compressed into the initial state, for
// up to sixteen blocks at once: the pad states of a key. Only where
// sha1WideSupported().
void sha1FirstBlockWide(const unsigned char* const* blocks, std::size_t lanes, Sha1State* states);

} // namespace trelmig
