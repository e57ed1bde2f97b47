#pragma once

#include "core/ItemCatalogue.h"

#include <array>
#include <string>

namespace trelmig {

struct Session;
class WinFiles;
class modReg;

// Whether a backup item can be chosen for the current profile, the tool tip
// its check box shows, and why it cannot be chosen, in plain words.
struct ItemState {
    bool enabled = true;
    std::string toolTip;
    std::string reason;
};
using ItemStates = std::array<ItemState, kItemCount>;

inline constexpr const char* kNoAddressBookToolTip =
    "Your MS Outlook don't support Personal Address Book!";

// True for Outlook 2007 and 2010, and for Windows Vista and 7.
bool IsNewOutlook(const Session& session);
bool IsNewWindows(const Session& session);

// Computes where every item of the profile lives into the session
// (strAccountsKey ... strPreferencesDir) and which items exist.
ItemStates ComputeItemLocations(Session& session, modReg& reg, const WinFiles& files,
                                const std::string& profile);

} // namespace trelmig
