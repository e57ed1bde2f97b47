#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trelmig {

// UTF-8 <-> UTF-16. Invalid input never throws: a malformed UTF-8 byte is
// taken as the Latin-1 character of the same code, an unpaired surrogate is
// encoded as is (WTF-8), so every UTF-16 string survives a round trip.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);
// True when no byte is above 0x7F.
bool isAscii(std::string_view bytes);
// True when the bytes are UTF-8 as written: no byte taken as Latin-1 above.
bool isValidUtf8(std::string_view bytes);

// UTF-16 code units <-> their little-endian bytes, as registry data holds
// them. An odd last byte is dropped.
std::u16string utf16FromLeBytes(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> utf16LeBytes(std::u16string_view text);

// Lower case of one UTF-16 code unit for name comparison (ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic).
char16_t foldCase(char16_t c);
std::u16string foldCase(std::u16string_view s);
// Case-insensitive equality of two UTF-8 names.
bool equalsNoCase(std::string_view a, std::string_view b);

} // namespace trelmig
