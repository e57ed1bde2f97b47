#pragma once

#include <optional>
#include <string>

namespace trelmig {

struct Session;
class SystemInfo;
class WinFiles;
class RegistryKeys;

// Outlook release named by a reported version string ("11.0.8169.0"),
// decided by its major number: {"11.0", "Outlook 2003"}. nullopt for a
// release the program does not know.
struct OutlookRelease {
    std::string version;
    std::string displayName;
};
std::optional<OutlookRelease> MatchOutlookVersion(const std::string& reported);

inline constexpr const char* kUnknownOutlook = "Unknow Version";

// Sets windowsVersion ("6.1") and windowsBuild; returns windowsVersion.
std::string GetWindowsVersion(Session& session, const SystemInfo& system);

// True when nothing but NULs and blanks is left of a name.
bool IsBlankName(const std::string& name);
// Fills profiles from the subkeys of profilesKey.
void LoadProfileList(Session& session, RegistryKeys& reg);

// The version the registered Outlook reports: the file version of the
// executable registered for "Outlook.Application" (CurVer, CLSID,
// LocalServer32), else the number of its CurVer ("14.0"). nullopt when no
// Outlook is registered.
std::optional<std::string> ReportedOutlookVersion(RegistryKeys& reg, const WinFiles& files,
                                                  const SystemInfo& system);
// True when the registered Outlook is a 32-bit program in a 64-bit prefix:
// its class is registered only in the 32-bit view (Wow6432Node).
bool IsOutlookWow64(RegistryKeys& reg);
// The machine key holding Office's "SharedFilesDir": under Wow6432Node for a
// 32-bit Outlook in a 64-bit prefix.
std::string SharedToolsKey(RegistryKeys& reg);

// The display name of the registered Outlook; "" for an unknown release,
// "Unknow Version" when none is registered.
std::string OutlookDisplayName(RegistryKeys& reg, const WinFiles& files, const SystemInfo& system);
// Sets outlookVersion when the release is known and returns its display
// name, as OutlookDisplayName.
std::string GetOutlookVersion(Session& session, RegistryKeys& reg, const WinFiles& files,
                              const SystemInfo& system);

} // namespace trelmig
