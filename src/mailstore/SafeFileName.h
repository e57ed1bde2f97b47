#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trelmig {

// A file name made of a message subject or folder name that every file
// system takes: no '/', '\\' or control characters, none of Windows' reserved
// characters (<>:"|?*) or device names (CON, NUL, COM1, ...), no leading dot,
// no trailing dot or space, at most maxBytes bytes cut where a UTF-8
// character ends, and "(no subject)" when nothing is left.
std::string SafeFileName(std::string_view text, std::size_t maxBytes = 200);

} // namespace trelmig
