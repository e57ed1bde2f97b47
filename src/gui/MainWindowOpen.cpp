// A backup file handed to the program: the restore tab opens it.
#include "gui/MainWindow.h"

#include "gui/RestoreTab.h"

#include <QTabWidget>

#include <utility>

namespace trelmig {

void MainWindow::OpenBackupFile(const QString& path) {
    if (RefuseWhileBusy())
        return;
    tabs_->setCurrentIndex(1);
    // The inspection of "Browse...", with the file chosen already.
    auto dialog = std::exchange(chooseFile, [path](const FileDialogRequest&) { return path; });
    restoreTab_->ChooseSourceFile();
    chooseFile = std::move(dialog);
}

} // namespace trelmig
