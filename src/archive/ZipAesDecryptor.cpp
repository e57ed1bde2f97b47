#include "archive/ZipAesDecryptor.h"

#include "archive/ZipAesKeys.h"

#include <optional>
#include <stdexcept>

#include <openssl/crypto.h>

namespace trelmig {

struct ZipAesDecryptor::State {
    std::optional<ZipAesCtr> aes;
    std::optional<ZipAesMac> mac;
};

ZipAesDecryptor::ZipAesDecryptor(std::string_view password, std::size_t keySize,
                                 std::span<const unsigned char> header)
    : state_(std::make_unique<State>()) {
    if ((keySize != 16 && keySize != 24 && keySize != 32) || header.size() != headerSize(keySize))
        throw std::invalid_argument("not a WinZip AES header");
    const ZipAesKeys keys(password, header.first(keySize / 2), keySize);
    open(keys, keySize, header);
}

ZipAesDecryptor::ZipAesDecryptor(const ZipAesKeys& keys, std::size_t keySize,
                                 std::span<const unsigned char> header)
    : state_(std::make_unique<State>()) {
    if ((keySize != 16 && keySize != 24 && keySize != 32) || header.size() != headerSize(keySize) ||
        keys.aesKey().size() != keySize)
        throw std::invalid_argument("not a WinZip AES header");
    open(keys, keySize, header);
}

void ZipAesDecryptor::open(const ZipAesKeys& keys, std::size_t keySize,
                           std::span<const unsigned char> header) {
    const std::size_t saltSize = keySize / 2;
    passwordMatches_ =
        CRYPTO_memcmp(keys.check().data(), header.data() + saltSize, kCheckSize) == 0;
    state_->aes.emplace(keys.aesKey());
    state_->mac.emplace(keys.macKey());
}

ZipAesDecryptor::~ZipAesDecryptor() = default;

void ZipAesDecryptor::decrypt(std::span<unsigned char> data) {
    // The code authenticates the encrypted bytes: taken before they change.
    state_->mac->update(data);
    state_->aes->apply(data);
}

bool ZipAesDecryptor::authentic(std::span<const unsigned char> trailer) {
    const auto code = state_->mac->finish();
    return trailer.size() == kTrailerSize &&
           CRYPTO_memcmp(code.data(), trailer.data(), kTrailerSize) == 0;
}

} // namespace trelmig
