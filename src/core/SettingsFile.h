#pragma once

#include "platform/AnsiCodec.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trelmig {

// Settings files: lines of key, "=", value in the ANSI code page, CR LF, no
// sections. Keys compare without regard to case; a value is everything after
// the first "=". Reading ends lines at CR LF, LF or a lone CR, and stops at
// the first empty line. Both throw std::runtime_error when the file cannot be
// opened.

// The largest settings file read: an information file holds a few lines.
inline constexpr std::uintmax_t kMaxSettingsFileBytes = 1u << 20;

// A settings file read once, for looking up many keys.
class SettingsText {
public:
    explicit SettingsText(std::string_view bytes, const AnsiCodec& ansi);
    // Throws std::runtime_error also when the file is larger than maxBytes.
    static SettingsText Read(const std::string& fileName, const AnsiCodec& ansi,
                             std::uintmax_t maxBytes = kMaxSettingsFileBytes);
    // Value of the first line with that key; empty when none matches.
    std::string Value(const std::string& keyName) const;

private:
    std::vector<std::pair<std::string, std::string>> lines_; // key, value (UTF-8)
};

// Value of the first line with that key, read up to the first empty line;
// empty when none matches.
std::string GetINI(const std::string& keyName, const std::string& fileName, const AnsiCodec& ansi);
// Appends one line; never rewrites an existing one. A value beyond ASCII is
// followed by its UTF-8 line (below), which holds it whatever the code page.
void SaveINI(const std::string& keyName, const std::string& keyValue, const std::string& fileName,
             const AnsiCodec& ansi);
// Appends the key's UTF-8 line: "<key>Utf8=" and the value, percent-encoded
// to plain ASCII. Readers of this file take it over the key's ANSI line;
// readers that do not know it keep to the ANSI line.
void SaveUnicodeINI(const std::string& keyName, const std::string& keyValue,
                    const std::string& fileName);

} // namespace trelmig
