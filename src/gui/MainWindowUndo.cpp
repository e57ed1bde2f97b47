// The undo of the last restore (File > "Undo Last Restore..."), and the
// profile lists after it.
#include "gui/MainWindow.h"

#include "app/Environment.h"
#include "gui/BackupTab.h"
#include "gui/LocalTimeText.h"
#include "gui/MessageTexts.h"
#include "gui/RestoreTab.h"
#include "outlook/OutlookEnvironment.h"
#include "restore/RestoreDriver.h"
#include "restore/RestoreUndo.h"

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
    // Only the restores into this window's prefix.
    std::vector<UndoRecord> records;
    if (undoRecords_)
        records = ListUndoRecords(*undoRecords_);
    std::error_code ec;
    std::erase_if(records, [&](const UndoRecord& r) {
        return !std::filesystem::equivalent(r.prefix, env_.prefix.root(), ec);
    });
    if (records.empty()) {
        prompter_.Show(tr("There is no restore into this Wine prefix to undo.").toStdString(),
                       MessageIcon::Information);
        return;
    }
    const UndoRecord& last = records.front();
    const QString question =
        tr("Put back what the restore into profile \"%1\" of %2 on %3 replaced? The profile, its "
           "data files and the other items restored then become as they were before it; what "
           "was changed in them since is lost.")
            .arg(QString::fromStdString(last.profile), QString::fromStdString(last.prefix),
                 LocalTimeText(last.time));
    if (prompter_.Show(question.toStdString(), MessageIcon::Question, MessageButtons::OkCancel) !=
        MessageAnswer::Ok)
        return;
    const UndoOutcome outcome = UndoRestore(last, prompter_);
    prompter_.Show(TranslatedText(outcome.said).toStdString(),
                   outcome.done ? MessageIcon::Information : MessageIcon::Critical);
    if (!outcome.done)
        return;
    // The window read the registry before the undo: it reads it again, and
    // lists the profiles as they are now.
    try {
        env_.registry.reload();
    } catch (const std::exception& e) {
        prompter_.Show(tr("The registry cannot be read again: %1")
                           .arg(QString::fromUtf8(e.what()))
                           .toStdString(),
                       MessageIcon::Critical);
        return;
    }
    env_.ReloadProfiles();
    profilesChanged();
}

} // namespace trelmig
