#pragma once

#include <QString>

class QWidget;

namespace trelmig {

// What one of the main window's file dialogs (the backup file's, the
// restore source's) asks for.
struct FileDialogRequest {
    QString dialogName;   // "cdTarget" or "cdSource"
    QString title;        // window title of the dialog
    QString filter;       // Qt form: "Quenvar Outlook Backup File (*.kvx)"
    QString proposedName; // file name offered by a save dialog
    bool save = false;    // a save dialog ("Backup Now" asks before overwriting)
    bool folder = false;  // a folder, not a file (a repository's)
};

// Shows the file dialog request asks for, opened at folder; an open dialog
// with no proposed name offers lastBackup when that file exists. Returns the
// chosen path, empty when cancelled.
QString AskFile(QWidget* parent, const FileDialogRequest& request, const QString& folder,
                const QString& lastBackup);

} // namespace trelmig
