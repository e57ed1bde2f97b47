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
