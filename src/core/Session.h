#pragma once

#include <string>
#include <vector>

namespace trelmig {

// The facts of the prefix, found once at start-up. The locations of a
// profile's items are computed for the profile that is asked about
// (ComputeItemLocations); what one backup or restore works with travels in
// its own request and result values.
// Field names are the program's long-standing names for them.
struct Session {
    // Host folder standing for the program folder: private to this run.
    std::string strProgramFolder;
    std::string strInfoFile;
    std::string strComputerName;
    std::string strLogonUser;
    std::string strUserProfile;
    std::string strWinVersion;
    std::string strWinBuild;
    std::string strOutlookVersion;
    std::string strProfilesKey;
    std::vector<std::string> arrProfiles;
    bool bNoProfiles = false;
};

inline constexpr const char* kProfilesKey =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows "
    "NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

} // namespace trelmig
