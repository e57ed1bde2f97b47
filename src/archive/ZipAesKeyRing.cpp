#include "archive/ZipAesKeyRing.h"

namespace trelmig {

void ZipAesKeyRing::derive(std::string_view password, std::size_t keySize,
                           std::span<const std::span<const unsigned char>> salts) {
    std::vector<std::unique_ptr<ZipAesKeys>> keys =
        ZipAesKeys::DeriveMany(password, salts, keySize);
    const std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < salts.size(); ++i)
        keys_.try_emplace(Salt{keySize, {salts[i].begin(), salts[i].end()}}, std::move(keys[i]));
}

const ZipAesKeys* ZipAesKeyRing::find(std::size_t keySize,
                                      std::span<const unsigned char> salt) const {
    const std::lock_guard lock(mutex_);
    const auto it = keys_.find(Salt{keySize, {salt.begin(), salt.end()}});
    return it == keys_.end() ? nullptr : it->second.get();
}

} // namespace trelmig
