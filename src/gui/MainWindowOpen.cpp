#include "gui/MainWindow.h"

#include "gui/BackupVersionsList.h"

#include <QLineEdit>
#include <QTabWidget>

#include <utility>

namespace trelmig {

void MainWindow::OpenBackupFile(const QString& path) {
    if (RefuseWhileBusy())
        return;
    tabs_->setCurrentIndex(1);
    // The inspection of "Browse...", with the file chosen already.
    auto dialog = std::exchange(chooseFile, [path](const FileDialogRequest&) { return path; });
    onSourceFileClicked();
    chooseFile = std::move(dialog);
}

void MainWindow::openVersion(const QString& path) {
    if (RefuseWhileBusy())
        return;
    // A version of the backup open now: its password is tried first, and a
    // cancelled prompt keeps the one open.
    if (!inspectSourceFile(path, inspected_.password)) {
        sourceFileEdit_->setText(QString::fromStdString(inspected_.path));
        versionsList_->ShowVersionsOf(QString::fromStdString(inspected_.path));
    }
}

} // namespace trelmig
