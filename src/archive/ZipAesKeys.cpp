#include "archive/ZipAesKeys.h"

#include "archive/Pbkdf2Sha1.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <zip.h>

namespace trelmig {

std::size_t ZipAesKeySizeOf(std::uint16_t encryption) {
    switch (encryption) {
    case ZIP_EM_AES_128:
        return 16;
    case ZIP_EM_AES_192:
        return 24;
    case ZIP_EM_AES_256:
        return 32;
    default:
        return 0;
    }
}

namespace {

constexpr int kRounds = 1000;

[[noreturn]] void fail(const char* what) {
    throw std::runtime_error(std::string("WinZip AES: ") + what + " failed");
}

EVP_MAC* hmacAlgorithm() {
    static EVP_MAC* const mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (!mac)
        fail("fetching HMAC");
    return mac;
}

} // namespace

ZipAesKeys::ZipAesKeys(std::string_view password, std::span<const unsigned char> salt,
                       std::size_t keySize)
    : keySize_(keySize), bytes_(2 * keySize + kCheckSize) {
    try {
        pbkdf2HmacSha1(password, salt, kRounds, bytes_);
    } catch (const std::exception&) {
        OPENSSL_cleanse(bytes_.data(), bytes_.size());
        fail("key derivation");
    }
}

std::vector<std::unique_ptr<ZipAesKeys>>
ZipAesKeys::DeriveMany(std::string_view password,
                       std::span<const std::span<const unsigned char>> salts, std::size_t keySize) {
    std::vector<std::unique_ptr<ZipAesKeys>> keys;
    std::vector<std::span<unsigned char>> outs;
    keys.reserve(salts.size());
    outs.reserve(salts.size());
    for (std::size_t i = 0; i < salts.size(); ++i) {
        keys.push_back(std::unique_ptr<ZipAesKeys>(new ZipAesKeys(keySize)));
        outs.emplace_back(keys.back()->bytes_);
    }
    try {
        pbkdf2HmacSha1Many(password, salts, kRounds, outs);
    } catch (const std::exception&) {
        fail("key derivation"); // the keys made so far wipe themselves
    }
    return keys;
}

ZipAesKeys::~ZipAesKeys() {
    OPENSSL_cleanse(bytes_.data(), bytes_.size());
}

struct ZipAesMac::State {
    EVP_MAC_CTX* context = nullptr;
    ~State() { EVP_MAC_CTX_free(context); }
};

ZipAesMac::ZipAesMac(std::span<const unsigned char> key) : state_(std::make_unique<State>()) {
    state_->context = EVP_MAC_CTX_new(hmacAlgorithm());
    char digest[] = "SHA1";
    OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                           OSSL_PARAM_construct_end()};
    if (!state_->context || EVP_MAC_init(state_->context, key.data(), key.size(), params) != 1)
        fail("HMAC set-up");
}

ZipAesMac::~ZipAesMac() = default;

void ZipAesMac::update(std::span<const unsigned char> encrypted) {
    if (!encrypted.empty() &&
        EVP_MAC_update(state_->context, encrypted.data(), encrypted.size()) != 1)
        fail("HMAC");
}

std::array<unsigned char, ZipAesMac::kSize> ZipAesMac::finish() {
    unsigned char mac[EVP_MAX_MD_SIZE];
    std::size_t length = 0;
    if (EVP_MAC_final(state_->context, mac, &length, sizeof mac) != 1 || length < kSize)
        fail("HMAC");
    std::array<unsigned char, kSize> code;
    std::copy(mac, mac + kSize, code.begin());
    return code;
}

} // namespace trelmig
