#pragma once

#include "archive/ZipAesKeys.h"

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace trelmig {

// The keys of an archive's AES entries, derived together before the entries
// are decoded: deriving one entry's keys alone takes as long as decoding a
// small entry, and many at once take a fraction of that each
// (ZipAesKeys::DeriveMany). Filled from several threads, then read from
// several threads. An entry whose keys are not here has them derived alone.
class ZipAesKeyRing {
public:
    // Derives the keys of these salts (of entries whose key size is keySize).
    void derive(std::string_view password, std::size_t keySize,
                std::span<const std::span<const unsigned char>> salts);
    // The keys derived for that salt, or null.
    const ZipAesKeys* find(std::size_t keySize, std::span<const unsigned char> salt) const;

private:
    using Salt = std::pair<std::size_t, std::vector<unsigned char>>;
    mutable std::mutex mutex_;
    std::map<Salt, std::unique_ptr<ZipAesKeys>> keys_;
};

} // namespace trelmig
