#pragma once

#include "core/TranslationMark.h"

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

inline constexpr int kNoBox = -1;

// One record per item an archive holds, in the order the backup gathers and
// the restore puts them back and in the order of the flags of "BackupItem".
// The profile configuration and the rules have no box of their own: they go
// with the boxes that need them. The backup and restore operations of a
// record sit at its index in one table each, checked against these records
// when the program is built (OperationsMatchRecords).
//
// The texts are marked for the translators' tool: the box's in the context
// "ItemCatalogue", the step's in "Messages" with the other messages of a run.
struct ItemRecord {
    std::string_view itemKey; // "BackupConfig": its information-file key
    std::string_view status;  // shown while it runs
    // It runs when any of these is ticked; kNoBox fills.
    std::array<int, 3> boxes = {kNoBox, kNoBox, kNoBox};
    int box = kNoBox; // the box it stands for and enables
    // The texts of its box; empty for a record without one.
    CatalogueItem texts = {};
    // Whether Outlook 2007 and later have it (they have no address book).
    bool inOutlook2007AndLater = true;
    // Completion lines of the backup and the restore; empty: not logged.
    std::string_view backupLogName = {};
    std::string_view backupLogSeparator = {};
    std::string_view restoreLogName = {};
    std::string_view restoreFailedName = {};
    std::string_view restoreLogSeparator = {};
    // The backup's share of the bar: progressWhenRun is added before
    // progressAfter when it ran; progressAfter whether or not it ran.
    int progressWhenRun = 0;
    int progressAfter = 0;
};

inline constexpr std::array<ItemRecord, 10> kItemRecords = {{
    {
        .itemKey = "BackupConfig",
        .status = QT_TRANSLATE_NOOP("Messages", "Copying Config..."),
        .boxes = {ItemPersonalFolders, ItemAccounts, ItemAddressBook},
    },
    {
        .itemKey = "BackupDatas",
        .status = QT_TRANSLATE_NOOP("Messages", "Copying Data Files (Pst Files)..."),
        .boxes = {ItemPersonalFolders, kNoBox, kNoBox},
        .box = ItemPersonalFolders,
        .texts = {QT_TRANSLATE_NOOP("ItemCatalogue", "Personal Folders (Contacts, Tasks, "
                                                     "Calendar, Notes and mail folders)"),
                  QT_TRANSLATE_NOOP("ItemCatalogue",
                                    "Contacts, Tasks, Calendar, Notes and mail folders"),
                  QT_TRANSLATE_NOOP("ItemCatalogue",
                                    "Contacts, Tasks, Calendar, Notes and mail folders.")},
        .backupLogName = QT_TRANSLATE_NOOP("CompletionLog", "Backup Personal Folders"),
        .backupLogSeparator = "\t\t",
        .restoreLogName = QT_TRANSLATE_NOOP("CompletionLog", "Restore Personal Folders"),
        .restoreFailedName = "Restore Personal Folders",
        .restoreLogSeparator = "\t\t",
        .progressWhenRun = 5,
        .progressAfter = 15,
    },
    {
        .itemKey = "BackupRules",
        .status = QT_TRANSLATE_NOOP("Messages", "Copying Rules..."),
        .boxes = {ItemPersonalFolders, kNoBox, kNoBox},
        .progressAfter = 10,
    },
    {
        .itemKey = "BackupAccounts",
        .status = QT_TRANSLATE_NOOP("Messages", "Copying Accounts..."),
        .boxes = {ItemAccounts, kNoBox, kNoBox},
        .box = ItemAccounts,
        .texts = {QT_TRANSLATE_NOOP("ItemCatalogue", "Accounts Settings"),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "All Accounts Settings."),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "All Accounts Settings.")},
        .backupLogName = QT_TRANSLATE_NOOP("CompletionLog", "Backup Accounts Settings"),
        .backupLogSeparator = "\t",
        .restoreLogName = QT_TRANSLATE_NOOP("CompletionLog", "Restore Accounts Settings"),
        .restoreFailedName = "Restore Accounts Settings",
        .restoreLogSeparator = "\t\t",
        .progressAfter = 20,
    },
    {
        .itemKey = "BackupSignatures",
        .status = QT_TRANSLATE_NOOP("Messages", "Copying Signatures..."),
        .boxes = {ItemSignatures, kNoBox, kNoBox},
        .box = ItemSignatures,
        .texts = {QT_TRANSLATE_NOOP("ItemCatalogue", "Signatures"),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "User defined signatures."),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "User defined signatures.")},
        .backupLogName = QT_TRANSLATE_NOOP("CompletionLog", "Backup Signatures"),
        .backupLogSeparator = "\t\t",
        .restoreLogName = QT_TRANSLATE_NOOP("CompletionLog", "Restore Signatures"),
        .restoreFailedName = "Restore Signatures ",
        .restoreLogSeparator = "\t\t\t",
        .progressAfter = 10,
    },
    {
        .itemKey = "BackupStationery",
        .status = QT_TRANSLATE_NOOP("Messages", "Copying Stationeries..."),
        .boxes = {ItemStationeries, kNoBox, kNoBox},
        .box = ItemStationeries,
        .texts = {QT_TRANSLATE_NOOP("ItemCatalogue", "Stationeries"),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "Outlook stationery."),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "Outlook stationery.")},
        .backupLogName = QT_TRANSLATE_NOOP("CompletionLog", "Backup Stationeries"),
        .backupLogSeparator = "\t\t",
        .restoreLogName = QT_TRANSLATE_NOOP("CompletionLog", "Restore Stationeries"),
        .restoreFailedName = "Restore Stationeries",
        .restoreLogSeparator = "\t\t\t",
        .progressAfter = 10,
    },
    {
        .itemKey = "BackupPab",
        .status = QT_TRANSLATE_NOOP("Messages", "Copying Address Book..."),
        .boxes = {ItemAddressBook, kNoBox, kNoBox},
        .box = ItemAddressBook,
        .texts = {QT_TRANSLATE_NOOP("ItemCatalogue", "Personal Address Book"),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "Outlook Personal Address Book."),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "Outlook Personal Address Book.")},
        .inOutlook2007AndLater = false,
        .backupLogName = QT_TRANSLATE_NOOP("CompletionLog", "Backup Personal Address Book"),
        .backupLogSeparator = "\t\t",
        .restoreLogName = QT_TRANSLATE_NOOP("CompletionLog", "Restore Personal Address Book"),
        .restoreFailedName = "Restore Personal Address Book",
        .restoreLogSeparator = "\t\t",
        .progressAfter = 5,
    },
    {
        .itemKey = "BackupConfigsetting",
        .status = QT_TRANSLATE_NOOP("Messages", "Copying Options..."),
        .boxes = {ItemOptions, kNoBox, kNoBox},
        .box = ItemOptions,
        .texts = {QT_TRANSLATE_NOOP("ItemCatalogue", "Options Settings"),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "General settings and interface options."),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "General settings and interface options.")},
        .backupLogName = QT_TRANSLATE_NOOP("CompletionLog", "Backup Options Settings"),
        .backupLogSeparator = "\t\t",
        .restoreLogName = QT_TRANSLATE_NOOP("CompletionLog", "Restore Options Settings"),
        .restoreFailedName = "Restore Options Settings",
        .restoreLogSeparator = "\t\t",
        .progressAfter = 5,
    },
    {
        .itemKey = "BackupTemplates",
        .status = QT_TRANSLATE_NOOP("Messages", "Copying Templates..."),
        .boxes = {ItemTemplates, kNoBox, kNoBox},
        .box = ItemTemplates,
        .texts = {QT_TRANSLATE_NOOP("ItemCatalogue", "Templates"),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "User templates."),
                  QT_TRANSLATE_NOOP("ItemCatalogue", "User templates.")},
        .backupLogName = QT_TRANSLATE_NOOP("CompletionLog", "Backup Templates"),
        .backupLogSeparator = "\t\t",
        .restoreLogName = QT_TRANSLATE_NOOP("CompletionLog", "Restore Templates"),
        .restoreFailedName = "Restore Templates",
        .restoreLogSeparator = "\t\t\t",
        .progressAfter = 5,
    },
    {
        .itemKey = "BackupSetting",
        .status = QT_TRANSLATE_NOOP("Messages", "Copying Setting..."),
        .boxes = {ItemPreferences, kNoBox, kNoBox},
        .box = ItemPreferences,
        // One text each, split for the line's length.
        // NOLINTBEGIN(bugprone-suspicious-missing-comma)
        .texts = {QT_TRANSLATE_NOOP("ItemCatalogue", "Preferences (Customizable settings)"),
                  QT_TRANSLATE_NOOP("ItemCatalogue",
                                    "View and Toolbar settings, Send and Receive group settings, "
                                    "control infomation and other data."),
                  QT_TRANSLATE_NOOP("ItemCatalogue",
                                    "View and Toolbar settings, Send and Receive group settings, "
                                    "control infomation and other data.")},
        // NOLINTEND(bugprone-suspicious-missing-comma)
        .backupLogName = QT_TRANSLATE_NOOP("CompletionLog", "Backup Preferences"),
        .backupLogSeparator = "\t\t",
        .restoreLogName = QT_TRANSLATE_NOOP("CompletionLog", "Restore Preferences"),
        .restoreFailedName = "Restore Preferences",
        .restoreLogSeparator = "\t\t\t",
    },
}};

inline constexpr std::size_t kItemRecordCount = kItemRecords.size();

// Each box stands for one record, and its texts are there.
consteval bool EveryBoxHasOneRecord() {
    for (int box = 0; box < kItemCount; ++box) {
        int records = 0;
        for (const ItemRecord& record : kItemRecords)
            if (record.box == box && !record.texts.caption.empty())
                ++records;
        if (records != 1)
            return false;
    }
    for (const ItemRecord& record : kItemRecords)
        if (record.box >= kItemCount)
            return false;
    return true;
}
static_assert(EveryBoxHasOneRecord(), "one record with its texts per box");

// The texts of the eight boxes, in their order: the records' texts.
const std::array<CatalogueItem, kItemCount>& itemCatalogue();

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
inline constexpr const char* kInfoFileShown =
    QT_TRANSLATE_NOOP("ItemCatalogue", "Backup information");
inline constexpr const char* kProfileSettingsShown =
    QT_TRANSLATE_NOOP("ItemCatalogue", "Profile settings");

// The information file's line of the files in the folders HTML signatures
// link to (their pictures): entries named "<folder>|<file>", which no file
// of Windows can be named, so they never meet a signature file's entry.
inline constexpr const char* kSignatureFoldersKey = "BackupSignatureFolders";
inline constexpr char kFolderEntrySeparator = '|';

} // namespace trelmig
