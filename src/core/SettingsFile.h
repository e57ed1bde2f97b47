#pragma once

#include "platform/AnsiCodec.h"

#include <string>

namespace trelmig {

// Settings files: lines of key, "=", value in the ANSI code page, CR LF, no
// sections. Keys compare without regard to case; a value is everything after
// the first "=". Both throw std::runtime_error when the file cannot be opened.

// Value of the first line with that key, read up to the first empty line;
// empty when none matches.
std::string GetINI(const std::string& keyName, const std::string& fileName, const AnsiCodec& ansi);
// Appends one line; never rewrites an existing one.
void SaveINI(const std::string& keyName, const std::string& keyValue, const std::string& fileName,
             const AnsiCodec& ansi);

} // namespace trelmig
