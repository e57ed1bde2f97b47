#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace trelmig {

// The AES key size of an entry's encryption method in bytes (16, 24 or 32);
// 0 for a method that is no WinZip AES.
std::size_t ZipAesKeySizeOf(std::uint16_t encryption);

// What WinZip AES derives from a password and an entry's salt (PBKDF2 with
// HMAC-SHA1, 1000 rounds): the AES key, the authentication key and the two
// bytes stored to check the password. Wiped when destroyed. Throws
// std::runtime_error when OpenSSL fails.
class ZipAesKeys {
public:
    static constexpr std::size_t kCheckSize = 2;

    // keySize: 16, 24 or 32 bytes (AES-128, -192, -256).
    ZipAesKeys(std::string_view password, std::span<const unsigned char> salt, std::size_t keySize);
    // The keys of many salts of one size and one password, derived together
    // (pbkdf2HmacSha1Many): the same keys, in far less time than one by one.
    static std::vector<std::unique_ptr<ZipAesKeys>>
    DeriveMany(std::string_view password, std::span<const std::span<const unsigned char>> salts,
               std::size_t keySize);
    ~ZipAesKeys();
    ZipAesKeys(const ZipAesKeys&) = delete;
    ZipAesKeys& operator=(const ZipAesKeys&) = delete;

    std::span<const unsigned char> aesKey() const { return {bytes_.data(), keySize_}; }
    std::span<const unsigned char> macKey() const { return {bytes_.data() + keySize_, keySize_}; }
    std::span<const unsigned char> check() const {
        return {bytes_.data() + 2 * keySize_, kCheckSize};
    }

private:
    explicit ZipAesKeys(std::size_t keySize)
        : keySize_(keySize), bytes_(2 * keySize + kCheckSize) {}

    std::size_t keySize_;
    std::vector<unsigned char> bytes_;
};

// The authentication code of WinZip AES: HMAC-SHA1 over the encrypted bytes,
// of which the first ten are stored after the entry. Throws
// std::runtime_error when OpenSSL fails.
class ZipAesMac {
public:
    static constexpr std::size_t kSize = 10;

    explicit ZipAesMac(std::span<const unsigned char> key);
    ~ZipAesMac();
    ZipAesMac(const ZipAesMac&) = delete;
    ZipAesMac& operator=(const ZipAesMac&) = delete;

    void update(std::span<const unsigned char> encrypted);
    std::array<unsigned char, kSize> finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace trelmig
