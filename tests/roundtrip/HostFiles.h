#pragma once

// The host side of Windows paths in a prefix, found the way Wine finds them
// (drive links in dosdevices, each component matched without regard to
// case), and file digests; independent of the program's own file layer.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace roundtrip {

std::optional<std::filesystem::path> hostPathOf(const std::filesystem::path& prefix,
                                                const std::string& windowsPath);
std::string sha256Of(const std::filesystem::path& file); // empty when unreadable
// Text as one word of a POSIX shell command line.
std::string shellQuoted(const std::string& text);
// Regular files directly inside a folder, by name.
std::vector<std::string> filesIn(const std::filesystem::path& folder);

} // namespace roundtrip
