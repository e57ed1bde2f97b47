#include "gui/ItemTexts.h"

#include <QCoreApplication>

#include <string>

namespace trelmig {

namespace {

// The catalogue's texts, listed here for the translators' tools; the
// catalogue itself holds no Qt.
[[maybe_unused]] constexpr const char* kCatalogueTexts[] = {
    QT_TRANSLATE_NOOP("ItemCatalogue",
                      "Personal Folders (Contacts, Tasks, Calendar, Notes and mail folders)"),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Contacts, Tasks, Calendar, Notes and mail folders"),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Contacts, Tasks, Calendar, Notes and mail folders."),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Accounts Settings"),
    QT_TRANSLATE_NOOP("ItemCatalogue", "All Accounts Settings."),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Signatures"),
    QT_TRANSLATE_NOOP("ItemCatalogue", "User defined signatures."),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Stationeries"),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Outlook stationery."),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Personal Address Book"),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Outlook Personal Address Book."),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Options Settings"),
    QT_TRANSLATE_NOOP("ItemCatalogue", "General settings and interface options."),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Templates"),
    QT_TRANSLATE_NOOP("ItemCatalogue", "User templates."),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Preferences (Customizable settings)"),
    // One text, split for the line's length.
    // NOLINTBEGIN(bugprone-suspicious-missing-comma)
    QT_TRANSLATE_NOOP("ItemCatalogue",
                      "View and Toolbar settings, Send and Receive group settings, control "
                      "infomation and other data."),
    // NOLINTEND(bugprone-suspicious-missing-comma)
    // What the progress shows for the files a backup makes itself.
    QT_TRANSLATE_NOOP("ItemCatalogue", "Backup information"),
    QT_TRANSLATE_NOOP("ItemCatalogue", "Profile settings"),
};

} // namespace

QString ItemText(std::string_view english) {
    const std::string text(english);
    return QCoreApplication::translate("ItemCatalogue", text.c_str());
}

} // namespace trelmig
