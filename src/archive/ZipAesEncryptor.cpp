#include "archive/ZipAesEncryptor.h"

#include <algorithm>
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
constexpr std::size_t kBlockSize = 16;
constexpr int kRounds = 1000;
// Counter blocks encrypted per OpenSSL call: enough for AES-NI to pipeline.
constexpr std::size_t kBatchBlocks = 256;

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
    EVP_CIPHER_CTX* aes = nullptr;
    EVP_MAC_CTX* mac = nullptr;
    std::uint64_t counter = 0;
    // Counter blocks: the low 8 bytes hold the little-endian counter, the
    // high 8 bytes stay zero.
    unsigned char counters[kBatchBlocks * kBlockSize]{};
    // The encrypted counters; a partly used block carries over to the next call.
    unsigned char keyStream[kBatchBlocks * kBlockSize];
    std::size_t keyStreamSize = 0;
    std::size_t keyStreamUsed = 0;

    ~State() {
        EVP_CIPHER_CTX_free(aes);
        EVP_MAC_CTX_free(mac);
        OPENSSL_cleanse(keyStream, sizeof keyStream);
    }

    // Encrypts the next `blocks` counter values into keyStream.
    void makeKeyStream(std::size_t blocks) {
        for (std::size_t b = 0; b < blocks; ++b) {
            std::uint64_t value = ++counter;
            for (std::size_t i = 0; i < 8; ++i, value >>= 8)
                counters[b * kBlockSize + i] = static_cast<unsigned char>(value);
        }
        int written = 0;
        if (EVP_EncryptUpdate(aes, keyStream, &written, counters,
                              static_cast<int>(blocks * kBlockSize)) != 1 ||
            written != static_cast<int>(blocks * kBlockSize))
            fail("AES");
        keyStreamSize = blocks * kBlockSize;
        keyStreamUsed = 0;
    }
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

    state_->aes = EVP_CIPHER_CTX_new();
    state_->mac = EVP_MAC_CTX_new(hmacAlgorithm());
    char digest[] = "SHA1";
    OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                           OSSL_PARAM_construct_end()};
    bool ready = state_->aes && state_->mac &&
                 EVP_EncryptInit_ex(state_->aes, EVP_aes_256_ecb(), nullptr, keys, nullptr) == 1 &&
                 EVP_CIPHER_CTX_set_padding(state_->aes, 0) == 1 &&
                 EVP_MAC_init(state_->mac, keys + kKeySize, kKeySize, params) == 1;
    OPENSSL_cleanse(keys, sizeof keys);
    if (!ready)
        fail("keys");
}

ZipAesEncryptor::~ZipAesEncryptor() = default;

void ZipAesEncryptor::encrypt(std::span<unsigned char> data) {
    State& s = *state_;
    unsigned char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        if (s.keyStreamUsed == s.keyStreamSize)
            s.makeKeyStream(std::clamp<std::size_t>(left / kBlockSize, 1, kBatchBlocks));
        std::size_t n = std::min(left, s.keyStreamSize - s.keyStreamUsed);
        const unsigned char* key = s.keyStream + s.keyStreamUsed;
        for (std::size_t i = 0; i < n; ++i)
            p[i] ^= key[i];
        p += n;
        left -= n;
        s.keyStreamUsed += n;
    }
    if (!data.empty() && EVP_MAC_update(s.mac, data.data(), data.size()) != 1)
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
