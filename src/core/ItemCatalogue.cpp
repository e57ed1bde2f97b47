#include "core/ItemCatalogue.h"

namespace trelmig {

const std::array<CatalogueItem, kItemCount>& itemCatalogue() {
    static const std::array<CatalogueItem, kItemCount> items = {{
        {"Personal Folders (Contacts, Tasks, Calendar, Notes and mail folders)",
         "Contacts, Tasks, Calendar, Notes and mail folders",
         "Contacts, Tasks, Calendar, Notes and mail folders."},
        {"Accounts Settings", "All Accounts Settings.", "All Accounts Settings."},
        {"Signatures", "User defined signatures.", "User defined signatures."},
        {"Stationeries", "Outlook stationery.", "Outlook stationery."},
        {"Personal Address Book", "Outlook Personal Address Book.",
         "Outlook Personal Address Book."},
        {"Options Settings", "General settings and interface options.",
         "General settings and interface options."},
        {"Templates", "User templates.", "User templates."},
        {"Preferences (Customizable settings)",
         "View and Toolbar settings, Send and Receive group settings, control infomation and "
         "other data.",
         "View and Toolbar settings, Send and Receive group settings, control infomation and "
         "other data."},
    }};
    return items;
}

bool RecordRuns(const ItemRecord& record, const ItemSelection& items) {
    for (int item : record.boxes)
        if (item >= 0 && items[static_cast<std::size_t>(item)])
            return true;
    return false;
}

std::size_t RecordIndex(const ItemRecord& record) {
    return static_cast<std::size_t>(&record - kItemRecords.data());
}

} // namespace trelmig
