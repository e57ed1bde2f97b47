#include "archive/ZipAesEncryptor.h"

#include "archive/ZipAesCtr.h"
#include "archive/ZipAesKeys.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include <openssl/rand.h>

namespace trelmig {

namespace {

constexpr std::size_t kKeySize = 32;

} // namespace

struct ZipAesEncryptor::State {
    std::optional<ZipAesCtr> aes;
    std::optional<ZipAesMac> mac;
};

ZipAesEncryptor::ZipAesEncryptor(std::string_view password)
    : ZipAesEncryptor(password, [] {
          Salt salt;
          if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1)
              throw std::runtime_error("encryption failed (no random salt)");
          return salt;
      }()) {}

ZipAesEncryptor::ZipAesEncryptor(std::string_view password, const Salt& salt)
    : state_(std::make_unique<State>()) {
    const ZipAesKeys keys(password, salt, kKeySize);
    std::copy(salt.begin(), salt.end(), header_.begin());
    std::copy(keys.check().begin(), keys.check().end(), header_.begin() + kSaltSize);
    state_->aes.emplace(keys.aesKey());
    state_->mac.emplace(keys.macKey());
}

ZipAesEncryptor::~ZipAesEncryptor() = default;

void ZipAesEncryptor::encrypt(std::span<unsigned char> data) {
    state_->aes->apply(data);
    state_->mac->update(data);
}

std::array<unsigned char, ZipAesEncryptor::kTrailerSize> ZipAesEncryptor::finish() {
    return state_->mac->finish();
}

} // namespace trelmig
