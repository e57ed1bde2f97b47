#pragma once

#include <string>
#include <vector>

namespace trelmig {

// The facts of the prefix, found once at start-up by Environment::Discover
// and read-only for everything after it. The locations of a profile's items
// are computed for the profile that is asked about (ComputeItemLocations);
// what one backup or restore works with travels in its own request and
// result values.
struct Session {
    // Host folder standing for the program folder: private to this run.
    std::string programFolder;
    std::string infoFile;
    std::string computerName;
    std::string logonUser;
    std::string userProfile;
    std::string windowsVersion;
    std::string windowsBuild;
    std::string outlookVersion;
    std::string profilesKey;
    std::vector<std::string> profiles;
};

inline constexpr const char* kProfilesKey =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows "
    "NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

} // namespace trelmig
