#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace trelmig {

// PBKDF2 with HMAC-SHA1 (RFC 8018): fills out with the key derived from
// password and salt in `rounds` rounds. With the processor's SHA instructions
// the output blocks are computed side by side from the password's padded
// states, a few times faster than OpenSSL's general loop, which is used
// elsewhere. Throws std::runtime_error when OpenSSL fails.
void pbkdf2HmacSha1(std::string_view password, std::span<const unsigned char> salt, unsigned rounds,
                    std::span<unsigned char> out);

// The same for many salts and one password: outs[i] gets the key of
// salts[i]. With AVX-512 the output blocks of sixteen keys at a time are
// computed side by side (Sha1Wide), when the salts are of one size; else one
// key after the other.
void pbkdf2HmacSha1Many(std::string_view password,
                        std::span<const std::span<const unsigned char>> salts, unsigned rounds,
                        std::span<const std::span<unsigned char>> outs);

} // namespace trelmig
