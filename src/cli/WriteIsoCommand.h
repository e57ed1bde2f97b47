#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace trelmig {

// --write-iso OUT.iso [--volume NAME] PATH...: puts the files and folders
// into an ISO 9660/Joliet/Rock Ridge image file, reads it back and compares
// every file with its source. Prints the verify summary. 0 when the image was
// written and every file matched; 1 when the write failed or a file did not
// match; 2 for unusable arguments.
int RunWriteIso(const std::string& target, const std::string& volume,
                const std::vector<std::string>& paths, std::ostream& out, std::ostream& err);

inline constexpr const char* kDefaultVolumeIdentifier = "Outlook Data Backup CD";

} // namespace trelmig
