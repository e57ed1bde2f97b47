#include "gui/MainWindow.h"

#include <QTabWidget>

#include <utility>

namespace trelmig {

void MainWindow::OpenBackupFile(const QString& path) {
    if (RefuseWhileBusy())
        return;
    SSTab1->setCurrentIndex(1);
    // The inspection of "Browse...", with the file chosen already.
    auto dialog = std::exchange(chooseFile, [path](const FileDialogRequest&) { return path; });
    onSourceFileClicked();
    chooseFile = std::move(dialog);
}

} // namespace trelmig
