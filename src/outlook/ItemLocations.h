#pragma once

#include "core/ItemCatalogue.h"

#include <array>
#include <string>

namespace trelmig {

struct Session;
class WinFiles;
class RegistryKeys;

// Whether a backup item can be chosen for the current profile, the tool tip
// its check box shows, and why it cannot be chosen, in plain words.
struct ItemState {
    bool enabled = true;
    std::string toolTip;
    std::string reason;
};
using ItemStates = std::array<ItemState, kItemCount>;

// Where the items of one profile live, as Windows paths and registry keys.
struct ItemLocations {
    std::string accountsKey;
    std::string signaturesFolder;
    std::string stationeryFolder;
    std::string rulesFolder;
    std::string templatesFolder;
    std::string preferencesFolder;
    std::string optionsKey;
};

// The locations of a profile's items and which of them exist.
struct ProfileItems {
    ItemLocations locations;
    ItemStates states;
};

inline constexpr const char* kNoAddressBookToolTip =
    "Your MS Outlook don't support Personal Address Book!";

// True for Outlook 2007 and later, and for Windows Vista and 7.
bool IsNewOutlook(const Session& session);
bool IsNewWindows(const Session& session);

// The user's roaming folder below the user folder: "\AppData\Roaming" on
// Windows Vista and 7 and for Outlook 2013 and later (which need at least
// Windows 7), else "\Application Data".
std::string RoamingFolder(const Session& session);

// The accounts key of a profile: the profile's own accounts subkey for
// Outlook 2007 and later; the Internet Account Manager's before.
std::string AccountsKeyFor(const Session& session, const std::string& profile);

// Where a restored data file (personal folders, address book) goes, as
// Outlook of the session's version makes new ones: the Documents folder's
// "Outlook Files" (".ost" files under "AppData\Local\Microsoft\Outlook")
// for Outlook 2013 and later, else "Local Settings\Application
// Data\Microsoft\Outlook".
std::string DataFileFolderFor(const Session& session, RegistryKeys& reg,
                              const std::string& fileName);

// Computes where every item of the profile lives and which items exist.
ProfileItems ComputeItemLocations(const Session& session, RegistryKeys& reg, const WinFiles& files,
                                  const std::string& profile);

} // namespace trelmig
