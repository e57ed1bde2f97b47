#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace trelmig {

// SHA-1's compression function run on up to four independent states at once
// with the processor's SHA instructions: the lanes' rounds interleave, so that
// one lane's latency is spent on the others. The key derivation of WinZip AES
// is nothing but such single blocks, thousands per entry.
using Sha1State = std::array<std::uint32_t, 5>;

// True when this processor has the SHA extensions sha1CompressLanes needs.
bool sha1LanesSupported();

// Compresses blocks[i] (64 bytes each) into states[i], for i below lanes (1 to 4).
// Only where sha1LanesSupported().
void sha1CompressLanes(Sha1State* states, const unsigned char* const* blocks, std::size_t lanes);

} // namespace trelmig
