#pragma once

#include <string>
#include <string_view>

namespace trelmig {

// A file name standing for a key of any length and bytes (a repository
// address and a source): 16 hexadecimal digits of its FNV-1a hash.
std::string HashedName(std::string_view key);

} // namespace trelmig
