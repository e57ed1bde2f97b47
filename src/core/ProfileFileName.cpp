#include "core/ProfileFileName.h"

#include <algorithm>

namespace trelmig {

std::optional<std::string> ProfileFileName(const std::string& profile, std::string_view extension) {
    const bool unsafe = std::any_of(profile.begin(), profile.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return c == '\\' || c == '/' || c == ':' || u < 0x20 || u == 0x7f;
    });
    if (profile.empty() || profile == "." || profile == ".." || unsafe)
        return std::nullopt;
    return profile + std::string(extension);
}

} // namespace trelmig
