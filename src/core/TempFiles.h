#pragma once

#include <string>

namespace trelmig {

// A new empty scratch file in the given folder, named as Windows names
// temporary files: up to three characters of the prefix, a hexadecimal
// number, ".tmp". Returns its full path, or "" when the folder is not
// writable.
std::string sGetTempFile(const std::string& folder, const std::string& sPrefix);
// The same in the system's temporary folder.
std::string sGetTempFileBAK(const std::string& sPrefix);

} // namespace trelmig
