#include "gui/FileDialogRequest.h"

#include <QFileDialog>
#include <QFileInfo>

namespace trelmig {

QString AskFile(QWidget* parent, const FileDialogRequest& request, const QString& folder,
                const QString& lastBackup) {
    QFileDialog dialog(parent, request.title);
    dialog.setObjectName(request.dialogName);
    if (request.folder) {
        // A repository's folder (or the empty one a new repository goes in),
        // or the one saved messages go in.
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setDirectory(folder);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
    dialog.setNameFilter(request.filter);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // "Backup Now" asks before it replaces a file, naming its date.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Backup files carry their extension, so that the open dialog lists them.
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setDirectory(folder);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    else if (!request.save && QFileInfo(lastBackup).isFile())
        dialog.selectFile(lastBackup);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace trelmig
