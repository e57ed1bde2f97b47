#pragma once

#include "platform/WinePrefix.h"

#include <filesystem>
#include <string>
#include <vector>

namespace trelmig {

class Environment;

// What one Wine prefix holds for this program: its Outlook and the profiles
// with the data files each names. Read without writing anything.
struct PrefixSummary {
    struct DataFile {
        std::string path; // Windows path, as the profile names it
        bool exists = false;
    };
    struct Profile {
        std::string name;
        std::vector<DataFile> dataFiles;
    };
    std::string outlook; // display name, "" when there is no profile
    std::string outlookVersion;
    std::vector<Profile> profiles;
    // Why the prefix could not be read (a malformed registry file); empty
    // when it was.
    std::string error;
    // Why a Windows user folder may not hold the latest (a dirty hive).
    std::vector<std::string> warnings;
};

PrefixSummary SummarizePrefix(const WinePrefix& prefix);
// The same for a Windows user folder, its partition found above it.
PrefixSummary SummarizeWindowsUser(const std::filesystem::path& userFolder);

// The data files a profile of a discovered environment names, as the backup
// finds them.
std::vector<PrefixSummary::DataFile> ProfileDataFiles(Environment& env, const std::string& profile);

} // namespace trelmig
