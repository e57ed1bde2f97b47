#pragma once

#include "archive/ZipAesCtr.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace trelmig {

class ZipAesKeys;

// WinZip AES decryption of one archive entry's data (the reverse of
// ZipAesEncryptor, for AES-128, -192 and -256): the salt and the 2-byte
// password check open the entry, the data between them and the 10-byte
// authentication code is decrypted in counter mode, and the code, an HMAC-SHA1
// of the encrypted data, proves at the end that the password was right and not
// a byte changed. Every call throws std::runtime_error when OpenSSL fails.
class ZipAesDecryptor {
public:
    static constexpr std::size_t kCheckSize = 2;
    static constexpr std::size_t kTrailerSize = 10;

    // What precedes the encrypted data: a salt of half the key size and the
    // password check.
    static std::size_t headerSize(std::size_t keySize) { return keySize / 2 + kCheckSize; }

    // keySize: 16, 24 or 32 bytes. header: the salt and the password check, headerSize(keySize)
    // bytes.
    ZipAesDecryptor(std::string_view password, std::size_t keySize,
                    std::span<const unsigned char> header);
    // The same with the keys derived already from the header's salt.
    ZipAesDecryptor(const ZipAesKeys& keys, std::size_t keySize,
                    std::span<const unsigned char> header);
    ~ZipAesDecryptor();
    ZipAesDecryptor(const ZipAesDecryptor&) = delete;
    ZipAesDecryptor& operator=(const ZipAesDecryptor&) = delete;

    // False when the password check already shows the password is wrong.
    // True is no proof: a wrong password passes once in 65,536 tries.
    bool passwordMatches() const { return passwordMatches_; }
    // Decrypts the next bytes in place; any lengths.
    void decrypt(std::span<unsigned char> data);
    // True when the trailer is the authentication code of all the data
    // decrypted; call once, after the last decrypt.
    bool authentic(std::span<const unsigned char> trailer);

private:
    void open(const ZipAesKeys& keys, std::size_t keySize, std::span<const unsigned char> header);

    struct State;
    std::unique_ptr<State> state_;
    bool passwordMatches_ = false;
};

} // namespace trelmig
