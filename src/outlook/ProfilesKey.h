#pragma once

#include <optional>
#include <string>

namespace trelmig {

class RegistryKeys;

// True for Outlook 2013 and later ("15.0", "16.0"), which keep their profiles
// under their own Office key and their per-user files under AppData.
bool IsOutlook2013OrLater(const std::string& outlookVersion);

// The key holding the mail profiles of that Outlook version: the Windows
// Messaging Subsystem's up to Outlook 2010 (and for an unknown version),
// "HKEY_CURRENT_USER\Software\Microsoft\Office\<V>\Outlook\Profiles" from
// Outlook 2013 on.
std::string ProfilesKeyFor(const std::string& outlookVersion);

// The version of the newest Outlook 2013 or later whose profiles key holds a
// profile ("16.0", then "15.0"): what the profiles tell when no Outlook is
// registered. nullopt when neither holds one.
std::optional<std::string> VersionHoldingProfiles(RegistryKeys& reg);

// The newest Outlook up to 2010 whose settings the user has
// (HKCU\Software\Microsoft\Office\<V>\Outlook): what a user's hive tells
// when the machine's registration cannot be read. nullopt when there is none.
std::optional<std::string> VersionWithUserSettings(RegistryKeys& reg);

} // namespace trelmig
