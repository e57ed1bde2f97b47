#pragma once

#include <map>
#include <string>
#include <vector>

namespace trelmig {

// The process-wide values of one run, created at start-up and handed to the
// drivers. Field names are the program's long-standing names for them.
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

    std::string strAccountsKey;
    std::string strSignaturesDir;
    std::string strStationeryDir;
    std::string strRulesDir;
    std::string strTemplatesDir;
    std::string strPreferencesDir;
    std::string strOptionsKey;

    std::string strTargetFile;
    std::string strBackupPassword;
    std::string strConfigExportFile;
    std::string strAccountsExportFile;
    std::string strOptionsExportFile;
    std::string strDiscFileTitle;
    std::string strDiscFilePath;
    bool bNoSourceFile = true;
    std::string strBackupItems;
    // Entry names of the inspected archive, by item key ("BackupDatas", ...).
    std::map<std::string, std::string> strRestoreEntries;
    std::string strRestorePassword;
};

inline constexpr const char* kProfilesKey =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows "
    "NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

} // namespace trelmig
