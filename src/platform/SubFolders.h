#pragma once

#include <filesystem>
#include <vector>

namespace trelmig {

// The folders directly inside a folder, sorted by path; none when it cannot
// be read.
std::vector<std::filesystem::path> SortedSubfolders(const std::filesystem::path& folder);

} // namespace trelmig
