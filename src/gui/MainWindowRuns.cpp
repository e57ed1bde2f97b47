// The long runs of the main window: backup, inspection of a backup file and
// restore, each done by the core with this window as its Prompter and its
// progress panel as the ProgressView; backups and restores on a pool thread.
#include "gui/MainWindow.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/BackupDriver.h"
#include "gui/BackupVersionsList.h"
#include "gui/KeepVersionsBox.h"
#include "gui/LastBackupLine.h"
#include "gui/ProgressPanel.h"
#include "gui/WindowMemory.h"
#include "restore/RestoreDriver.h"
#include "restore/SourceFile.h"
#include "schedule/BackupRunRecord.h"
#include "schedule/BackupVersions.h"
#include "schedule/RunReport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <exception>
#include <memory>

namespace trelmig {

namespace {

std::string withCrLf(QString text) {
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toStdString();
}

QString withoutCr(const std::string& text) {
    return QString::fromStdString(text).remove(QLatin1Char('\r'));
}

ItemSelection checked(const std::array<QCheckBox*, kItemCount>& boxes) {
    ItemSelection selection{};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        selection[i] = boxes[i]->isChecked();
    return selection;
}

// The busy pointer for one inspection.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

std::string messageOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return {};
    }
}

} // namespace

void MainWindow::RunBackup() {
    if (RefuseWhileBusy())
        return;
    BackupChoices c;
    c.profile = sourceProfileBox_->currentText().toStdString();
    c.items = checked(backupItemBoxes_);
    c.description = withCrLf(descriptionEdit_->toPlainText());
    c.protect = protectBox_->isChecked();
    c.password = passwordEdit_->text().toStdString();
    c.password2 = retypeEdit_->text().toStdString();
    c.targetFile = targetFile_;
    // With versions kept, the run writes a new version beside the chosen
    // name and then settles it as the unattended run does.
    auto versionProblems = std::make_shared<std::vector<std::string>>();
    if (const std::optional<KeepPolicy> keep = keepVersionsBox_->Choice().Policy();
        keep && !targetFile_.empty()) {
        c.chosenFile = targetFile_;
        c.targetFile = VersionTarget(targetFile_, LocalTimeNow());
        c.settle = [chosen = c.chosenFile, keep = *keep, target = c.targetFile,
                    versionProblems](BackupRunResult& r) {
            *versionProblems = SettleNewVersion(chosen, keep, target, r);
        };
    }
    // Every backup that starts is a run of the runs log, as an unattended one.
    RunRecord run;
    run.prefix = env_.prefix.root().string();
    run.profile = c.profile;
    run.archive = c.targetFile;
    run.start = IsoLocalTime(LocalTimeNow());
    auto result = std::make_shared<BackupRunResult>();
    startRun([this, c, result] { *result = backupDriver_->RunBackup(c, &cancel_); },
             [this, result, c, run, versionProblems](const std::exception_ptr& error) mutable {
                 if (error) {
                     run.exitStatus = 1;
                     run.message = MessageText(MessageId::RunFailed, messageOf(error));
                     recordRun(run);
                     showRunFailed("The Backup was not Completed! ", error);
                     return;
                 }
                 if (result->started) {
                     RecordBackupOutcome(run, *result, c.targetFile,
                                         c.chosenFile.empty() ? c.targetFile : c.chosenFile);
                     recordRun(run);
                 }
                 showVersionProblems(*versionProblems);
                 if (result->written)
                     rememberBackup(result->archivePath, c.items);
                 // A user who cancelled to quit is not asked about discs.
                 if (result->written && !result->keptEarlier && !result->cancelled &&
                     !cancel_.Requested() && askDiscAction_->isChecked() && askAboutDisc() &&
                     showDiscWindow)
                     showDiscWindow(result->archivePath);
             });
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
    prompter_.Show(heading + messageOf(error), MessageIcon::Critical);
}

std::optional<RestoreChoices> MainWindow::restoreChoices() {
    RestoreChoices c;
    if (!chooseRestoreTarget(c.profile, c.createProfile))
        return std::nullopt;
    c.boxes = checked(restoreItemBoxes_);
    return c;
}

void MainWindow::RunRestore(const RestoreChoices& c) {
    if (RefuseWhileBusy())
        return;
    startRun([this, c, archive = inspected_] { restoreDriver_->RunRestore(archive, c, &cancel_); },
             [this, c](const std::exception_ptr& error) {
                 if (error) {
                     showRunFailed("The Restore was not Completed! ", error);
                 }
                 // A profile made by the restore is a target like the others now.
                 if (c.createProfile &&
                     std::find(env_.session().profiles.begin(), env_.session().profiles.end(),
                               c.profile) != env_.session().profiles.end()) {
                     profilesChanged();
                     targetProfileBox_->setCurrentText(QString::fromStdString(c.profile));
                 }
             });
}

void MainWindow::clearRestoreSide() {
    for (QCheckBox* box : restoreItemBoxes_) {
        box->setChecked(false);
        box->setEnabled(false);
    }
    sourceFileEdit_->clear();
    versionsList_->Clear();
    backupDescriptionText_->clear();
    backupFactsText_->clear();
}

void MainWindow::onSourceFileClicked() {
    if (RefuseWhileBusy())
        return;
    // The backup open before is closed, whatever is chosen now.
    clearRestoreSide();
    archive_->CloseZip();
    inspected_ = {};
    FileDialogRequest request;
    request.dialogName = QStringLiteral("cdSource");
    request.title = tr("Restore Date from a Backup file");
    request.filter = tr("Quenvar Outlook Backup File (*.kvx)");
    inspectSourceFile(chooseFile ? chooseFile(request) : QString(), std::nullopt);
}

bool MainWindow::inspectSourceFile(const QString& chosen,
                                   const std::optional<std::string>& passwordInUse) {
    const WaitCursor busy;
    InspectedArchive result;
    try {
        // A refused password is asked again, up to three tries in all.
        constexpr int kPasswordTries = 3;
        for (int tries = 1; tries <= kPasswordTries; ++tries) {
            result =
                InspectBackupFile(env_, *archive_, prompter_, *passwords_, chosen.toStdString(),
                                  tries == 1 ? passwordInUse : std::nullopt);
            if (result.passwordCancelled)
                return false;
            if (!result.passwordRefused)
                break;
            // The file stays chosen while its password is asked.
            sourceFileEdit_->setText(chosen);
        }
    } catch (const std::exception& e) {
        clearRestoreSide();
        archive_->CloseZip();
        inspected_ = {};
        prompter_.ShowMessage({MessageId::InvalidBackupFileBecause, {e.what()}},
                              MessageIcon::Critical);
        return true;
    }
    // Only what this inspection found can be restored, whatever came before.
    clearRestoreSide();
    if (!result.accepted)
        archive_->CloseZip();
    inspected_ = result;
    if (result.passwordRefused) {
        sourceFileEdit_->setText(chosen);
        sourceFileEdit_->setToolTip(chosen);
        return true;
    }
    sourceFileEdit_->setText(QString::fromStdString(result.path));
    sourceFileEdit_->setToolTip(sourceFileEdit_->text());
    if (result.path.empty())
        return true;
    versionsList_->ShowVersionsOf(QString::fromStdString(result.path));
    backupFactsText_->setPlainText(withoutCr(result.facts));
    // "Profile:<name>" among the facts: the name a new profile is offered.
    const auto profileLine = result.facts.find("\r\nProfile:");
    backupProfile_ =
        profileLine == std::string::npos
            ? std::string()
            : result.facts.substr(profileLine + 10,
                                  result.facts.find("\r\n", profileLine + 10) - profileLine - 10);
    backupDescriptionText_->setPlainText(withoutCr(result.description));
    for (std::size_t i = 0; i < restoreItemBoxes_.size(); ++i)
        restoreItemBoxes_[i]->setEnabled(result.restoreEnabled[i]);
    return true;
}

QString MainWindow::dialogFolder() const {
    if (!targetFile_.empty())
        return QFileInfo(QString::fromStdString(targetFile_)).absolutePath();
    if (memory_ && QFileInfo(memory_->BackupFolder()).isDir())
        return memory_->BackupFolder();
    return DefaultBackupFolder();
}

void MainWindow::rememberBackup(const std::string& archivePath, const ItemSelection& items) {
    if (!memory_)
        return;
    memory_->SetLastBackupFile(QString::fromStdString(archivePath));
    QString mask;
    for (bool item : items)
        mask += item ? QLatin1Char('1') : QLatin1Char('0');
    memory_->SetItems(mask);
}

void MainWindow::Remember(std::unique_ptr<WindowMemory> memory) {
    memory_ = std::move(memory);
    if (auto* line = findChild<LastBackupLine*>())
        line->Remember(memory_.get());
    keepVersionsBox_->SetChoice(memory_->KeepVersions("main"));
    connect(keepVersionsBox_, &KeepVersionsBox::choiceChanged, this,
            [this] { memory_->SetKeepVersions("main", keepVersionsBox_->Choice()); });
    askDiscAction_->setChecked(memory_->AskAboutDisc());
    connect(askDiscAction_, &QAction::toggled, this,
            [this](bool ask) { memory_->SetAskAboutDisc(ask); });
    if (const QByteArray geometry = memory_->Geometry(objectName()); !geometry.isEmpty())
        restoreGeometry(geometry);
    const QString mask = memory_->Items();
    for (int i = 0; i < kItemCount && i < mask.size(); ++i) {
        QCheckBox* box = backupItemBoxes_[static_cast<std::size_t>(i)];
        box->setChecked(box->isEnabled() && mask.at(i) == QLatin1Char('1'));
    }
}

QString MainWindow::askFile(const FileDialogRequest& request) {
    QFileDialog dialog(this, request.title);
    dialog.setObjectName(request.dialogName);
    dialog.setNameFilter(request.filter);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // "Backup Now" asks before it replaces a file, naming its date.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Backup files carry their extension, so that the open dialog lists them.
    dialog.setDefaultSuffix(QStringLiteral("kvx"));
    dialog.setDirectory(dialogFolder());
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    else if (const QString last = memory_ ? memory_->LastBackupFile() : QString();
             !request.save && QFileInfo(last).isFile())
        dialog.selectFile(last);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace trelmig
