#include "outlook/ProfilesKey.h"

#include "core/Session.h"
#include "registry/RegistryKeys.h"

#include <charconv>

namespace trelmig {

bool IsOutlook2013OrLater(const std::string& outlookVersion) {
    int major = 0;
    const char* end = outlookVersion.data() + outlookVersion.size();
    const auto [rest, ec] = std::from_chars(outlookVersion.data(), end, major);
    return ec == std::errc() && rest != outlookVersion.data() && major >= 15;
}

std::string ProfilesKeyFor(const std::string& outlookVersion) {
    if (!IsOutlook2013OrLater(outlookVersion))
        return kProfilesKey;
    return "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" + outlookVersion +
           "\\Outlook\\Profiles";
}

std::optional<std::string> VersionHoldingProfiles(RegistryKeys& reg) {
    for (const char* version : {"16.0", "15.0"})
        if (!reg.EnumRegSubkeys(ProfilesKeyFor(version)).empty())
            return version;
    return std::nullopt;
}

std::optional<std::string> VersionWithUserSettings(RegistryKeys& reg) {
    for (const char* version : {"14.0", "12.0", "11.0", "10.0", "9.0", "8.0"})
        if (reg.RegKeyExists("HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" +
                             std::string(version) + "\\Outlook"))
            return version;
    return std::nullopt;
}

} // namespace trelmig
