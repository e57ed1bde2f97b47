#pragma once

// Data file paths inside binary registry values, as Outlook embeds them
// (UTF-16 or single-byte text), found and moved byte for byte.
#include <map>
#include <string>
#include <vector>

namespace roundtrip {

// Every occurrence of from replaced by to; whether there was one.
bool replaceAll(std::vector<unsigned char>& bytes, const std::vector<unsigned char>& from,
                const std::vector<unsigned char>& to);
// A value with each path of paths (old -> new) moved: its UTF-16 copies, else
// its single-byte ones.
std::vector<unsigned char> moved(std::vector<unsigned char> bytes,
                                 const std::map<std::string, std::string>& paths);
// Drive paths of .pst and .ost files held in the value.
std::vector<std::string> embeddedPaths(const std::vector<unsigned char>& bytes);

} // namespace roundtrip
