#pragma once

#include "core/Error.h"

#include <string>

namespace trelmig {

// A new empty scratch file in the given folder, named as Windows names
// temporary files: up to three characters of the prefix, a hexadecimal
// number, ".tmp". Returns its full path; fails when the folder is not
// writable.
Result<std::string> NewScratchFile(const std::string& folder, const std::string& prefix);

} // namespace trelmig
