// The restore's target profile, a new one among them, and the undo of the
// last restore (File > "Undo Last Restore...").
#include "gui/MainWindow.h"

#include "app/Environment.h"
#include "gui/LocalTimeText.h"
#include "gui/MessageTexts.h"
#include "outlook/OutlookEnvironment.h"
#include "restore/RestoreDriver.h"
#include "restore/RestoreUndo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>

#include <algorithm>

namespace trelmig {

namespace {

constexpr int kNewProfileRole = Qt::UserRole + 1;

} // namespace

void MainWindow::KeepUndoRecordsIn(std::optional<std::filesystem::path> folder) {
    undoRecords_ = std::move(folder);
    if (undoRecords_)
        restoreDriver_->KeepUndoRecordsIn(*undoRecords_);
}

void MainWindow::fillRestoreTargets() {
    const QString current = targetProfileBox_->currentText();
    targetProfileBox_->clear();
    for (const std::string& name : env_.session().profiles)
        targetProfileBox_->addItem(QString::fromStdString(name));
    // A new profile goes under the profiles key of a known Outlook only.
    if (!env_.session().outlookVersion.empty()) {
        targetProfileBox_->addItem(tr("New profile..."));
        targetProfileBox_->setItemData(targetProfileBox_->count() - 1, true, kNewProfileRole);
    }
    const int again = targetProfileBox_->findText(current);
    targetProfileBox_->setCurrentIndex(again >= 0 && !current.isEmpty() ? again : 0);
}

void MainWindow::profilesChanged() {
    fillRestoreTargets();
    const QString current = sourceProfileBox_->currentText();
    {
        const QSignalBlocker quiet(sourceProfileBox_);
        sourceProfileBox_->clear();
        for (const std::string& name : env_.session().profiles)
            sourceProfileBox_->addItem(QString::fromStdString(name));
        const int again = sourceProfileBox_->findText(current);
        sourceProfileBox_->setCurrentIndex(again >= 0 ? again : 0);
    }
    if (sourceProfileBox_->count() == 0) {
        for (QCheckBox* box : backupItemBoxes_) {
            box->setChecked(false);
            box->setEnabled(false);
        }
    } else if (sourceProfileBox_->currentText() != current) {
        onSourceProfileChanged();
    }
}

bool MainWindow::chooseRestoreTarget(std::string& profile, bool& create) {
    create = targetProfileBox_->currentData(kNewProfileRole).toBool();
    profile = targetProfileBox_->currentText().toStdString();
    if (!create)
        return true;
    // Offered: the name of the profile the backup was made of.
    const QString proposed = QString::fromStdString(backupProfile_);
    const std::optional<QString> name =
        askNewProfileName ? askNewProfileName(proposed) : std::optional<QString>{};
    if (!name)
        return false;
    profile = name->trimmed().toStdString();
    const auto& profiles = env_.session().profiles;
    if (profile.empty() || std::find(profiles.begin(), profiles.end(), profile) != profiles.end()) {
        const QString text = profile.empty()
                                 ? tr("Please enter the name of the new profile.")
                                 : tr("There is a profile \"%1\" already: choose it in the list, "
                                      "or enter another name.")
                                       .arg(QString::fromStdString(profile));
        prompter_.Show(text.toStdString(), MessageIcon::Exclamation);
        return false;
    }
    return true;
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
