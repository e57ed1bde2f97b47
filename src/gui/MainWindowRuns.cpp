// The long runs of the main window: backup and restore, each done by the core with this window as
// its Prompter and its progress panel as the ProgressView; backups and restores on a pool thread.
#include "gui/MainWindow.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/BackupDriver.h"
#include "core/ItemMask.h"
#include "gui/BackupTab.h"
#include "gui/ExceptionText.h"
#include "gui/LastBackupLine.h"
#include "gui/ProgressPanel.h"
#include "gui/RepositoryBackup.h"
#include "gui/RestoreTab.h"
#include "gui/WindowMemory.h"
#include "restore/RestoreConfirmation.h"
#include "restore/RestoreDriver.h"
#include "schedule/BackupRunRecord.h"
#include "schedule/BackupVersions.h"
#include "schedule/RunReport.h"

#include <QDir>
#include <QFileInfo>
#include <QTabWidget>

#include <algorithm>
#include <exception>
#include <memory>

namespace trelmig {

void MainWindow::startBackup(BackupChoices c) {
    // With versions kept, the run writes a new version beside the chosen
    // name and then settles it as the unattended run does.
    auto versionProblems = std::make_shared<std::vector<std::string>>();
    const bool toRepository = c.repository.has_value();
    // A repository keeps versions by itself: the policy prunes the older ones.
    const std::optional<KeepPolicy> keep = backupTab_->keepPolicy();
    if (keep && toRepository) {
        c.settle = PruneAfterVersion(c, *keep, versionProblems);
    } else if (keep && !c.targetFile.empty()) {
        c.chosenFile = c.targetFile;
        c.targetFile = VersionTarget(c.chosenFile, LocalTimeNow());
        c.settle = [chosen = c.chosenFile, keep = *keep, target = c.targetFile,
                    versionProblems](BackupRunResult& r) {
            *versionProblems = SettleNewVersion(chosen, keep, target, r);
        };
    }
    // Every backup that starts is a run of the runs log, as an unattended one.
    RunRecord run;
    run.prefix = env_.prefix.root().string();
    run.profile = c.profile;
    run.archive = toRepository ? c.repository->address.url : c.targetFile;
    run.start = IsoLocalTime(LocalTimeNow());
    auto result = std::make_shared<BackupRunResult>();
    startRun([this, c, result] { *result = backupDriver_->RunBackup(c, &cancel_); },
             [this, result, c, run, versionProblems,
              toRepository](const std::exception_ptr& error) mutable {
                 if (error) {
                     run.exitStatus = 1;
                     run.message = MessageText(MessageId::RunFailed, ExceptionText(error));
                     recordRun(run);
                     showRunFailed("The Backup was not Completed! ", error);
                     return;
                 }
                 if (result->started) {
                     const std::string target = run.archive;
                     RecordBackupOutcome(run, *result, target,
                                         c.chosenFile.empty() ? target : c.chosenFile);
                     recordRun(run);
                 }
                 showVersionProblems(*versionProblems);
                 // A version in a repository is no file to open or burn.
                 if (result->written && !toRepository)
                     rememberBackup(result->archivePath, c.items);
                 // A user who cancelled to quit is not asked about discs.
                 if (result->written && !toRepository && !result->keptEarlier &&
                     !result->cancelled && !cancel_.Requested() && askDiscAction_->isChecked() &&
                     askAboutDisc() && showDiscWindow)
                     showDiscWindow(result->archivePath);
             });
}

void MainWindow::onApplyClicked() {
    if (tabs_->currentIndex() == 0)
        RunBackup();
    else
        ConfirmAndRunRestore();
}

bool MainWindow::askAboutDisc() {
    bool notAgain = false;
    const MessageAnswer answer = prompter_.AskUnlessToldNot(
        tr("Do you need to backup your data to CD-R/RW or DVD?").toStdString(),
        MessageIcon::Information, MessageButtons::OkCancel, notAgain);
    // Options > "Offer to Write Each Backup to a Disc" asks again.
    if (notAgain)
        askDiscAction_->setChecked(false);
    return answer == MessageAnswer::Ok;
}

void MainWindow::recordRun(RunRecord run) {
    run.end = IsoLocalTime(LocalTimeNow());
    if (const auto problem = AppendRunRecord(run))
        prompter_.Show(tr("The backup could not be added to the runs log: %1")
                           .arg(QString::fromStdString(*problem))
                           .toStdString(),
                       MessageIcon::Exclamation);
    if (auto* line = findChild<LastBackupLine*>())
        line->Refresh();
}

void MainWindow::showVersionProblems(const std::vector<std::string>& problems) {
    if (problems.empty())
        return;
    std::string text = "The new backup was written, but older versions could not be removed:";
    for (const std::string& problem : problems)
        text += "\r\n" + problem;
    prompter_.Show(text, MessageIcon::Exclamation);
}

void MainWindow::showRunFailed(const std::string& heading, const std::exception_ptr& error) {
    progress_->SetBusy(false);
    progress_->SetShown(false);
    prompter_.Show(heading + ExceptionText(error), MessageIcon::Critical);
}

void MainWindow::ConfirmAndRunRestore() {
    if (RefuseWhileBusy())
        return;
    const std::optional<RestoreChoices> c = restoreTab_->Choices();
    if (!c)
        return;
    // Without a backup file there is nothing to confirm: the driver says what is missing.
    const InspectedArchive& inspected = restoreTab_->inspected();
    const bool go = !inspected.accepted ||
                    prompter_.Show(RestoreConfirmationText(env_, *archive_, inspected, *c),
                                   MessageIcon::Information,
                                   MessageButtons::OkCancelDefaultCancel) == MessageAnswer::Ok;
    if (go)
        RunRestore(*c);
}

void MainWindow::RunRestore(const RestoreChoices& c) {
    if (RefuseWhileBusy())
        return;
    startRun(
        [this, c, archive = restoreTab_->inspected()] {
            restoreDriver_->RunRestore(archive, c, &cancel_);
        },
        [this, c](const std::exception_ptr& error) {
            if (error) {
                showRunFailed("The Restore was not Completed! ", error);
            }
            // A profile made by the restore is a target like the others now.
            if (c.createProfile &&
                std::find(env_.session().profiles.begin(), env_.session().profiles.end(),
                          c.profile) != env_.session().profiles.end()) {
                profilesChanged();
                restoreTab_->SelectTarget(c.profile);
            }
        });
}

QString MainWindow::dialogFolder() const {
    if (const std::string& target = backupTab_->targetFile(); !target.empty())
        return QFileInfo(QString::fromStdString(target)).absolutePath();
    if (memory_ && QFileInfo(memory_->BackupFolder()).isDir())
        return memory_->BackupFolder();
    return DefaultBackupFolder();
}

void MainWindow::rememberBackup(const std::string& archivePath, const ItemSelection& items) {
    if (!memory_)
        return;
    memory_->SetLastBackupFile(QString::fromStdString(archivePath));
    memory_->SetItems(QString::fromStdString(ItemMask(items).Text()));
}

void MainWindow::Remember(std::unique_ptr<WindowMemory> memory) {
    memory_ = std::move(memory);
    if (auto* line = findChild<LastBackupLine*>())
        line->Remember(memory_.get());
    askDiscAction_->setChecked(memory_->AskAboutDisc());
    connect(askDiscAction_, &QAction::toggled, this,
            [this](bool ask) { memory_->SetAskAboutDisc(ask); });
    if (const QByteArray geometry = memory_->Geometry(objectName()); !geometry.isEmpty())
        restoreGeometry(geometry);
    backupTab_->Remember(memory_.get());
}

} // namespace trelmig
