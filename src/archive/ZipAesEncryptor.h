#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace trelmig {

// WinZip AES-256 encryption of one archive entry's data, byte for byte as
// libzip writes it and as libzip and 7-Zip read it: the entry's data is a
// 16-byte salt, a 2-byte password check, the deflated data encrypted with
// AES-256 in counter mode (a little-endian block counter starting at 1), and
// the first 10 bytes of an HMAC-SHA1 of the encrypted data. Both keys and
// the check come from the password and the salt through PBKDF2-HMAC-SHA1
// with 1,000 rounds.
//
// Deriving the keys takes about a millisecond, which is why the compression
// workers do it; the encryption itself runs at several hundred MB/s on one
// core (AES instructions through OpenSSL). Every call throws
// std::runtime_error when OpenSSL fails.
class ZipAesEncryptor {
public:
    static constexpr std::size_t kSaltSize = 16;
    static constexpr std::size_t kHeaderSize = kSaltSize + 2;
    static constexpr std::size_t kTrailerSize = 10;
    using Salt = std::array<unsigned char, kSaltSize>;

    // Keys for a new random salt.
    explicit ZipAesEncryptor(std::string_view password);
    // Keys for the given salt (to compare with archives written elsewhere).
    ZipAesEncryptor(std::string_view password, const Salt& salt);
    ~ZipAesEncryptor();
    ZipAesEncryptor(const ZipAesEncryptor&) = delete;
    ZipAesEncryptor& operator=(const ZipAesEncryptor&) = delete;

    // What goes before the encrypted data: the salt and the password check.
    std::span<const unsigned char> header() const { return header_; }
    // Encrypts the next bytes of the entry in place; any lengths.
    void encrypt(std::span<unsigned char> data);
    // What goes after the encrypted data; call once, after the last encrypt.
    std::array<unsigned char, kTrailerSize> finish();

private:
    struct State;
    std::unique_ptr<State> state_;
    std::array<unsigned char, kHeaderSize> header_{};
};

} // namespace trelmig
