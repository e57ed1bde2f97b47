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

} // namespace trelmig

namespace trelmig {

const std::array<BackupStep, kBackupStepCount>& backupSteps() {
    static const std::array<BackupStep, kBackupStepCount> steps = {{
        {"BackupConfig", "Copying Config...", "", "", {0, 1, 4}, -1, 0, 0},
        {"BackupDatas",
         "Copying Data Files (Pst Files)...",
         "Backup Personal Folders",
         "\t\t",
         {0, -1, -1},
         0,
         5,
         15},
        {"BackupRules", "Copying Rules...", "", "", {0, -1, -1}, -1, 0, 10},
        {"BackupAccounts",
         "Copying Accounts...",
         "Backup Accounts Settings",
         "\t",
         {1, -1, -1},
         1,
         0,
         20},
        {"BackupSignatures",
         "Copying Signatures...",
         "Backup Signatures",
         "\t\t",
         {2, -1, -1},
         2,
         0,
         10},
        {"BackupStationery",
         "Copying Stationeries...",
         "Backup Stationeries",
         "\t\t",
         {3, -1, -1},
         3,
         0,
         10},
        {"BackupPab",
         "Copying Address Book...",
         "Backup Personal Address Book",
         "\t\t",
         {4, -1, -1},
         4,
         0,
         5},
        {"BackupConfigsetting",
         "Copying Options...",
         "Backup Options Settings",
         "\t\t",
         {5, -1, -1},
         5,
         0,
         5},
        {"BackupTemplates",
         "Copying Templates...",
         "Backup Templates",
         "\t\t",
         {6, -1, -1},
         6,
         0,
         5},
        {"BackupSetting", "Copying Setting...", "Backup Preferences", "\t\t", {7, -1, -1}, 7, 0, 0},
    }};
    return steps;
}

bool StepRuns(const BackupStep& step, const ItemSelection& items) {
    for (int item : step.runsForItems)
        if (item >= 0 && items[static_cast<std::size_t>(item)])
            return true;
    return false;
}

std::size_t StepIndex(const BackupStep& step) {
    return static_cast<std::size_t>(&step - backupSteps().data());
}

} // namespace trelmig
