#pragma once

#include <array>
#include <string_view>

namespace trelmig {

inline constexpr int kItemCount = 8;

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

// The eight items the user picks, shared by the backup and restore panels,
// the schedule window and the command line.
struct CatalogueItem {
    std::string_view caption;
    std::string_view backupToolTip;
    std::string_view restoreToolTip;
};

const std::array<CatalogueItem, kItemCount>& itemCatalogue();

} // namespace trelmig

namespace trelmig {

// The ten gathering steps of a backup, in the order they run and in the order
// of the flags of "BackupItem". Each step's item key names its line in the
// information file.
struct BackupStep {
    std::string_view itemKey;    // "BackupConfig", also the operation's name
    std::string_view statusText; // shown while it runs
    std::string_view logName;    // empty: not in the completion log
    std::string_view logSeparator;
    std::array<int, 3> runsForItems; // item indices; -1 fills
    int restoreItem;                 // the restore box it enables, -1 for none
    int progressWhenRun;             // added before progressAfter when it ran
    int progressAfter;               // added whether or not it ran
};

inline constexpr int kBackupStepCount = 10;
const std::array<BackupStep, kBackupStepCount>& backupSteps();

using ItemSelection = std::array<bool, kItemCount>;
bool StepRuns(const BackupStep& step, const ItemSelection& items);
// The position of one of backupSteps() among them.
std::size_t StepIndex(const BackupStep& step);

inline constexpr const char* kInfoFileName = "vastrel.dat";

// The information file's line of the files in the folders HTML signatures
// link to (their pictures): entries named "<folder>|<file>", which no file
// of Windows can be named, so they never meet a signature file's entry.
inline constexpr const char* kSignatureFoldersKey = "BackupSignatureFolders";
inline constexpr char kFolderEntrySeparator = '|';

} // namespace trelmig
