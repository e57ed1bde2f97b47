#pragma once

#include <string>
#include <string_view>

namespace trelmig {

// text with every occurrence of from replaced by to, left to right.
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

// The text after the last backslash (or slash) of a path.
std::string BareName(const std::string& path);

// The value of a hexadecimal digit, either case; -1 for any other character.
// "%XX" escapes turned into their bytes; a "%" not followed by two hex
// digits stays as it is.
std::string PercentDecoded(std::string_view text);

// Inline: the registry files' parser asks it for every escaped character.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace trelmig
