#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace trelmig {

// The file version of a Windows program (PE32 or PE32+), "a.b.c.d" from the
// VS_FIXEDFILEINFO of its version resource; nullopt when the file cannot be
// read, is no PE file, or has no version resource.
std::optional<std::string> readPeFileVersion(const std::filesystem::path& exe);

} // namespace trelmig
