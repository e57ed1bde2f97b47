#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace trelmig {

// Small helpers for host text files. Bytes in and out, no encoding
// conversion (callers use AnsiCodec). Every function throws
// std::runtime_error naming the file when it cannot do its job.

// All lines, without their CR LF or LF endings; a last line without an
// ending counts, an empty file has none.
std::vector<std::string> readLines(const std::filesystem::path& file);
// Appends the line and CR LF; creates the file when missing.
void appendLine(const std::filesystem::path& file, std::string_view line);
std::string readFileBytes(const std::filesystem::path& file);
// The same for a file that may not be larger than maxBytes (it throws then,
// before reading).
std::string readFileBytes(const std::filesystem::path& file, std::uintmax_t maxBytes);
// Replaces the file's content (creates it when missing).
void writeFileBytes(const std::filesystem::path& file, std::string_view bytes);

} // namespace trelmig
