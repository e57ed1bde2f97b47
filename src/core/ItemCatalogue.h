#pragma once

#include "core/Message.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

namespace trelmig {

inline constexpr int kItemCount = 8;

// The boxes the user ticks, in the order of the backup and restore panels,
// the schedule window and the command line's item masks.
enum ItemIndex {
    ItemPersonalFolders = 0,
    ItemAccounts = 1,
    ItemSignatures = 2,
    ItemStationeries = 3,
    ItemAddressBook = 4,
    ItemOptions = 5,
    ItemTemplates = 6,
    ItemPreferences = 7,
};

// The texts of one box.
struct CatalogueItem {
    std::string_view caption;
    std::string_view backupToolTip;
    std::string_view restoreToolTip;
};

const std::array<CatalogueItem, kItemCount>& itemCatalogue();

// One record per item an archive holds, in the order the backup gathers and
// the restore puts them back and in the order of the flags of "BackupItem".
// The profile configuration and the rules have no box of their own: they go
// with the boxes that need them. The backup and restore operations of a
// record sit at its index in one table each, checked against these records
// when the program is built (OperationsMatchRecords).
struct ItemRecord {
    std::string_view itemKey; // "BackupConfig": its information-file key
    MessageId status;         // shown while it runs
    std::array<int, 3> boxes; // it runs when any of these is ticked; -1 fills
    int box;                  // the box it stands for and enables; -1 for none
    // Whether Outlook 2007 and later have it (they have no address book).
    bool inOutlook2007AndLater;
    // Completion lines of the backup and the restore; empty: not logged.
    std::string_view backupLogName;
    std::string_view backupLogSeparator;
    std::string_view restoreLogName;
    std::string_view restoreFailedName;
    std::string_view restoreLogSeparator;
    // The backup's share of the bar: progressWhenRun is added before
    // progressAfter when it ran; progressAfter whether or not it ran.
    int progressWhenRun;
    int progressAfter;
};

inline constexpr std::array<ItemRecord, 10> kItemRecords = {{
    {"BackupConfig", MessageId::CopyingConfig, {0, 1, 4}, -1, true, "", "", "", "", "", 0, 0},
    {"BackupDatas",
     MessageId::CopyingDataFiles,
     {0, -1, -1},
     0,
     true,
     "Backup Personal Folders",
     "\t\t",
     "Restore Personal Folders",
     "Restore Personal Folders",
     "\t\t",
     5,
     15},
    {"BackupRules", MessageId::CopyingRules, {0, -1, -1}, -1, true, "", "", "", "", "", 0, 10},
    {"BackupAccounts",
     MessageId::CopyingAccounts,
     {1, -1, -1},
     1,
     true,
     "Backup Accounts Settings",
     "\t",
     "Restore Accounts Settings",
     "Restore Accounts Settings",
     "\t\t",
     0,
     20},
    {"BackupSignatures",
     MessageId::CopyingSignatures,
     {2, -1, -1},
     2,
     true,
     "Backup Signatures",
     "\t\t",
     "Restore Signatures",
     "Restore Signatures ",
     "\t\t\t",
     0,
     10},
    {"BackupStationery",
     MessageId::CopyingStationeries,
     {3, -1, -1},
     3,
     true,
     "Backup Stationeries",
     "\t\t",
     "Restore Stationeries",
     "Restore Stationeries",
     "\t\t\t",
     0,
     10},
    {"BackupPab",
     MessageId::CopyingAddressBook,
     {4, -1, -1},
     4,
     false,
     "Backup Personal Address Book",
     "\t\t",
     "Restore Personal Address Book",
     "Restore Personal Address Book",
     "\t\t",
     0,
     5},
    {"BackupConfigsetting",
     MessageId::CopyingOptions,
     {5, -1, -1},
     5,
     true,
     "Backup Options Settings",
     "\t\t",
     "Restore Options Settings",
     "Restore Options Settings",
     "\t\t",
     0,
     5},
    {"BackupTemplates",
     MessageId::CopyingTemplates,
     {6, -1, -1},
     6,
     true,
     "Backup Templates",
     "\t\t",
     "Restore Templates",
     "Restore Templates",
     "\t\t\t",
     0,
     5},
    {"BackupSetting",
     MessageId::CopyingSetting,
     {7, -1, -1},
     7,
     true,
     "Backup Preferences",
     "\t\t",
     "Restore Preferences",
     "Restore Preferences",
     "\t\t\t",
     0,
     0},
}};

inline constexpr std::size_t kItemRecordCount = kItemRecords.size();

using ItemSelection = std::array<bool, kItemCount>;
// Whether any of the record's boxes is among the items.
bool RecordRuns(const ItemRecord& record, const ItemSelection& items);
// The position of one of kItemRecords among them.
std::size_t RecordIndex(const ItemRecord& record);

// True when a table of (item key, operation) pairs holds one operation per
// record, in the records' order: the backup's and the restore's tables check
// themselves with it in a static_assert, so a record without its operation,
// or one out of place, fails the build.
template <class Operation, std::size_t N>
consteval bool
OperationsMatchRecords(const std::array<std::pair<std::string_view, Operation>, N>& operations) {
    if (N != kItemRecordCount)
        return false;
    for (std::size_t i = 0; i < N; ++i)
        if (operations[i].first != kItemRecords[i].itemKey || operations[i].second == nullptr)
            return false;
    return true;
}

inline constexpr const char* kInfoFileName = "vastrel.dat";
// What the user is shown for the files a backup makes itself, in place of
// their scratch names.
inline constexpr const char* kInfoFileShown = "Backup information";
inline constexpr const char* kProfileSettingsShown = "Profile settings";

// The information file's line of the files in the folders HTML signatures
// link to (their pictures): entries named "<folder>|<file>", which no file
// of Windows can be named, so they never meet a signature file's entry.
inline constexpr const char* kSignatureFoldersKey = "BackupSignatureFolders";
inline constexpr char kFolderEntrySeparator = '|';

} // namespace trelmig
