#pragma once

#include <string>
#include <string_view>

namespace trelmig {

// text with every occurrence of from replaced by to, left to right.
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

// The text after the last backslash (or slash) of a path.
std::string BareName(const std::string& path);

} // namespace trelmig
