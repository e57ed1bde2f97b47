#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace trelmig {

// The names of the regular files in the folder of file (the versions of a
// backup lie beside its chosen name); none when the folder cannot be read.
std::vector<std::string> FileNamesBeside(const std::filesystem::path& file);

// Removes one file; false with the reason when it could not be.
bool RemoveVersionFile(const std::filesystem::path& file, std::string& error);

// Renames one file; false with the reason when it could not be.
bool RenameVersionFile(const std::filesystem::path& from, const std::filesystem::path& to,
                       std::string& error);

} // namespace trelmig
