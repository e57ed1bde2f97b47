// The undo of the last restore (File > "Undo Last Restore..."), and the
// profile lists after it.
#include "gui/MainWindow.h"

#include "gui/BackupTab.h"
#include "gui/RestoreTab.h"
#include "gui/UndoLastRestore.h"
#include "restore/RestoreDriver.h"

namespace trelmig {

void MainWindow::KeepUndoRecordsIn(std::optional<std::filesystem::path> folder) {
    undoRecords_ = std::move(folder);
    if (undoRecords_)
        restoreDriver_->KeepUndoRecordsIn(*undoRecords_);
}

void MainWindow::profilesChanged() {
    restoreTab_->FillTargets();
    backupTab_->ProfilesChanged();
}

void MainWindow::onUndoRestoreTriggered() {
    if (RefuseWhileBusy())
        return;
    if (UndoLastRestore(env_, prompter_, undoRecords_))
        profilesChanged();
}

} // namespace trelmig
