#include "platform/HashedName.h"

#include <cstdint>
#include <cstdio>

namespace trelmig {

std::string HashedName(std::string_view key) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char c : key)
        hash = (hash ^ c) * 1099511628211ULL;
    char name[20];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return name;
}

} // namespace trelmig
