#include "archive/ZipAesEncryptor.h"

#include "archive/ZipAesCtr.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/rand.h>

namespace trelmig {

namespace {

constexpr std::size_t kKeySize = 32;
constexpr int kRounds = 1000;

[[noreturn]] void fail(const char* what) {
    throw std::runtime_error(std::string("encryption failed (") + what + ")");
}

EVP_MAC* hmacAlgorithm() {
    static EVP_MAC* const mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (!mac)
        fail("no HMAC");
    return mac;
}

} // namespace

struct ZipAesEncryptor::State {
    std::optional<ZipAesCtr> aes;
    EVP_MAC_CTX* mac = nullptr;

    ~State() { EVP_MAC_CTX_free(mac); }
};

ZipAesEncryptor::ZipAesEncryptor(std::string_view password)
    : ZipAesEncryptor(password, [] {
          Salt salt;
          if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1)
              fail("no random salt");
          return salt;
      }()) {}

ZipAesEncryptor::ZipAesEncryptor(std::string_view password, const Salt& salt)
    : state_(std::make_unique<State>()) {
    unsigned char keys[2 * kKeySize + 2];
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), kRounds, EVP_sha1(), sizeof keys,
                          keys) != 1)
        fail("key derivation");
    std::copy(salt.begin(), salt.end(), header_.begin());
    std::copy(keys + 2 * kKeySize, keys + sizeof keys, header_.begin() + kSaltSize);

    state_->aes.emplace(std::span<const unsigned char>(keys, kKeySize));
    state_->mac = EVP_MAC_CTX_new(hmacAlgorithm());
    char digest[] = "SHA1";
    OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                           OSSL_PARAM_construct_end()};
    bool ready = state_->mac && EVP_MAC_init(state_->mac, keys + kKeySize, kKeySize, params) == 1;
    OPENSSL_cleanse(keys, sizeof keys);
    if (!ready)
        fail("keys");
}

ZipAesEncryptor::~ZipAesEncryptor() = default;

void ZipAesEncryptor::encrypt(std::span<unsigned char> data) {
    state_->aes->apply(data);
    if (!data.empty() && EVP_MAC_update(state_->mac, data.data(), data.size()) != 1)
        fail("HMAC");
}

std::array<unsigned char, ZipAesEncryptor::kTrailerSize> ZipAesEncryptor::finish() {
    unsigned char mac[EVP_MAX_MD_SIZE];
    std::size_t length = 0;
    if (EVP_MAC_final(state_->mac, mac, &length, sizeof mac) != 1 || length < kTrailerSize)
        fail("HMAC");
    std::array<unsigned char, kTrailerSize> trailer;
    std::copy(mac, mac + kTrailerSize, trailer.begin());
    return trailer;
}

} // namespace trelmig
