#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trelmig {

// The file named after a profile (profile & ".RWZ", profile & ".FAV"), or
// nullopt when the profile name cannot stand in a file name: empty, "." or
// "..", or holding a path separator, a drive colon or a control character,
// which would put the file in another folder.
std::optional<std::string> ProfileFileName(const std::string& profile, std::string_view extension);

} // namespace trelmig
