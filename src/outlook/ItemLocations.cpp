#include "outlook/ItemLocations.h"

#include "core/Session.h"
#include "outlook/OutlookEnvironment.h"
#include "outlook/ProfilesKey.h"
#include "platform/Text.h"
#include "platform/WinFiles.h"
#include "registry/RegistryKeys.h"

#include <algorithm>
#include <cctype>

namespace trelmig {

namespace {
constexpr const char* kAccountsSubkey = "9375CFF0413111d3B88A00104B2A6676";
} // namespace

bool IsNewOutlook(const Session& s) {
    return s.outlookVersion == "12.0" || s.outlookVersion == "14.0" ||
           IsOutlook2013OrLater(s.outlookVersion);
}

bool IsNewWindows(const Session& s) {
    return s.windowsVersion == "6.0" || s.windowsVersion == "6.1";
}

std::string RoamingFolder(const Session& s) {
    return IsNewWindows(s) || IsOutlook2013OrLater(s.outlookVersion) ? "\\AppData\\Roaming"
                                                                     : "\\Application Data";
}

std::string AccountsKeyFor(const Session& s, const std::string& profile) {
    // Outlook 2007 and later keep the accounts in each profile's own subkey;
    // taking those of the profile named "Outlook" for another profile would
    // save, and restore over, another profile's accounts.
    if (IsOutlook2013OrLater(s.outlookVersion))
        return s.profilesKey + "\\" + profile + "\\" + kAccountsSubkey;
    if (IsNewOutlook(s))
        return std::string(kProfilesKey) + "\\" + profile + "\\" + kAccountsSubkey;
    return "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts";
}

std::string DataFileFolderFor(const Session& s, RegistryKeys& reg, const std::string& fileName) {
    const std::string& p = s.userProfile;
    if (!IsOutlook2013OrLater(s.outlookVersion))
        return p + "\\Local Settings\\Application Data\\Microsoft\\Outlook";
    std::string extension = fileName.substr(std::min(fileName.size(), fileName.rfind('.')));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".ost")
        return p + "\\AppData\\Local\\Microsoft\\Outlook";
    // The user's Documents folder as the prefix names it (Wine links it into $HOME).
    const auto personal = reg.ReadRegString(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        "Personal");
    std::string documents =
        personal ? TrimBlanks(personal->substr(0, personal->find('\0'))) : std::string();
    if (documents.size() < 3 || documents[1] != ':')
        documents = p + "\\Documents";
    return documents + "\\Outlook Files";
}

namespace {

// A folder item needs at least one file directly inside its folder.
void checkFolder(ItemState& state, const WinFiles& files, const std::string& folder) {
    if (!files.folderExists(folder)) {
        state.enabled = false;
        state.reason = "folder not found: " + folder;
    } else if (files.listFiles(folder).empty()) {
        state.enabled = false;
        state.reason = "no file in " + folder;
    }
}

void checkKey(ItemState& state, RegistryKeys& reg, const std::string& key, const char* missing) {
    if (!reg.RegKeyExists(key)) {
        state.enabled = false;
        state.reason = missing + key;
    }
}

} // namespace

ProfileItems ComputeItemLocations(const Session& s, RegistryKeys& reg, const WinFiles& files,
                                  const std::string& profile) {
    ProfileItems items;
    ItemLocations& l = items.locations;
    ItemStates& states = items.states;
    for (int i = 0; i < kItemCount; ++i)
        states[i].toolTip = std::string(itemCatalogue()[i].backupToolTip);

    const std::string& p = s.userProfile;
    const bool newOutlook = IsNewOutlook(s);
    const std::string roaming = RoamingFolder(s);

    l.accountsKey = AccountsKeyFor(s, profile);
    l.signaturesFolder = p + roaming + "\\Microsoft\\Signatures";
    if (IsOutlook2013OrLater(s.outlookVersion)) {
        l.stationeryFolder = p + roaming + "\\Microsoft\\Stationery";
    } else if (newOutlook) {
        // An unregistered shared folder has always been shown as the folder
        // "ErrorStationery" in the item's reason; the text stays.
        std::string shared =
            reg.ReadRegString(SharedToolsKey(reg), "SharedFilesDir").value_or("Error");
        shared = TrimBlanks(shared.substr(0, shared.find('\0')));
        l.stationeryFolder = shared + "Stationery";
    } else {
        l.stationeryFolder = p + "\\Application Data\\Microsoft\\Stationery";
    }
    l.rulesFolder = p + roaming + "\\Microsoft\\Outlook";
    l.optionsKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" + s.outlookVersion +
                   "\\Outlook\\Options";
    l.templatesFolder = p + roaming + "\\Microsoft\\Templates";
    l.preferencesFolder = l.rulesFolder;

    // A key Outlook never wrote holds nothing to back up, as a missing folder.
    checkKey(states[ItemAccounts], reg, l.accountsKey, "no accounts key ");
    checkKey(states[ItemOptions], reg, l.optionsKey, "no options key ");
    checkFolder(states[ItemSignatures], files, l.signaturesFolder);
    checkFolder(states[ItemStationeries], files, l.stationeryFolder);
    checkFolder(states[ItemTemplates], files, l.templatesFolder);
    checkFolder(states[ItemPreferences], files, l.preferencesFolder);

    ItemState& pab = states[ItemAddressBook];
    if (newOutlook) {
        pab.enabled = false;
        pab.toolTip = kNoAddressBookToolTip;
        pab.reason = "this Outlook has no Personal Address Book";
    } else {
        const std::string profileKey = s.profilesKey + "\\" + profile;
        pab.enabled = false;
        pab.reason = "no address book file named in the profile";
        for (const auto& section : reg.EnumRegSubkeys(profileKey)) {
            const auto named = reg.ReadRegString(profileKey + "\\" + section, "001e6600");
            if (!named)
                continue;
            const std::string path = ReplaceAll(*named, "\\\\", "\\");
            if (files.fileExists(path)) {
                pab.enabled = true;
                pab.reason.clear();
                break;
            }
        }
    }
    return items;
}

} // namespace trelmig
