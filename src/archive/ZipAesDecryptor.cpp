#include "archive/ZipAesDecryptor.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>

namespace trelmig {

namespace {

constexpr int kRounds = 1000;

[[noreturn]] void fail(const char* what) {
    throw std::runtime_error(std::string("decryption failed (") + what + ")");
}

EVP_MAC* hmacAlgorithm() {
    static EVP_MAC* const mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (!mac)
        fail("no HMAC");
    return mac;
}

} // namespace

struct ZipAesDecryptor::State {
    std::optional<ZipAesCtr> aes;
    EVP_MAC_CTX* mac = nullptr;

    ~State() { EVP_MAC_CTX_free(mac); }
};

ZipAesDecryptor::ZipAesDecryptor(std::string_view password, std::size_t keySize,
                                 std::span<const unsigned char> header)
    : state_(std::make_unique<State>()) {
    if ((keySize != 16 && keySize != 24 && keySize != 32) || header.size() != headerSize(keySize))
        throw std::invalid_argument("not a WinZip AES header");
    const std::size_t saltSize = keySize / 2;
    std::vector<unsigned char> keys(2 * keySize + kCheckSize);
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), header.data(),
                          static_cast<int>(saltSize), kRounds, EVP_sha1(),
                          static_cast<int>(keys.size()), keys.data()) != 1)
        fail("key derivation");
    passwordMatches_ =
        CRYPTO_memcmp(keys.data() + 2 * keySize, header.data() + saltSize, kCheckSize) == 0;
    bool ready = false;
    try {
        state_->aes.emplace(std::span<const unsigned char>(keys.data(), keySize));
        state_->mac = EVP_MAC_CTX_new(hmacAlgorithm());
        char digest[] = "SHA1";
        OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                               OSSL_PARAM_construct_end()};
        ready =
            state_->mac && EVP_MAC_init(state_->mac, keys.data() + keySize, keySize, params) == 1;
    } catch (...) {
        OPENSSL_cleanse(keys.data(), keys.size());
        throw;
    }
    OPENSSL_cleanse(keys.data(), keys.size());
    if (!ready)
        fail("keys");
}

ZipAesDecryptor::~ZipAesDecryptor() = default;

void ZipAesDecryptor::decrypt(std::span<unsigned char> data) {
    if (data.empty())
        return;
    // The code authenticates the encrypted bytes: taken before they change.
    if (EVP_MAC_update(state_->mac, data.data(), data.size()) != 1)
        fail("HMAC");
    state_->aes->apply(data);
}

bool ZipAesDecryptor::authentic(std::span<const unsigned char> trailer) {
    unsigned char mac[EVP_MAX_MD_SIZE];
    std::size_t length = 0;
    if (EVP_MAC_final(state_->mac, mac, &length, sizeof mac) != 1 || length < kTrailerSize)
        fail("HMAC");
    return trailer.size() == kTrailerSize && CRYPTO_memcmp(mac, trailer.data(), kTrailerSize) == 0;
}

} // namespace trelmig
