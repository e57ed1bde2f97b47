#pragma once

#include "core/Error.h"

#include <string>

namespace trelmig {

// A new empty scratch file in the given folder, named as Windows names
// temporary files: up to three characters of the prefix, a hexadecimal
// number, ".tmp". Returns its full path; fails when the folder is not
// writable.
Result<std::string> sGetTempFile(const std::string& folder, const std::string& sPrefix);
// The same in the system's temporary folder.
Result<std::string> sGetTempFileBAK(const std::string& sPrefix);

} // namespace trelmig
