// The item panels of the main window: pop-up menus, profile choice, password
// fields, the backup file dialog and the action button.
#include "gui/MainWindow.h"

#include "app/Environment.h"
#include "gui/BackupFileName.h"
#include "restore/RestoreConfirmation.h"
#include "restore/RestoreDriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QTabWidget>

namespace trelmig {

void MainWindow::onBackupItemsMouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button == Qt::RightButton)
        backupItemsMenu_->popup(globalPos);
}

void MainWindow::onRestoreItemsMouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button == Qt::RightButton)
        restoreItemsMenu_->popup(globalPos);
}

namespace {

// Checks every enabled box and clears every disabled one.
void selectAvailable(const std::array<QCheckBox*, kItemCount>& boxes) {
    for (QCheckBox* box : boxes)
        box->setChecked(box->isEnabled());
}

void clearAll(const std::array<QCheckBox*, kItemCount>& boxes) {
    for (QCheckBox* box : boxes)
        box->setChecked(false);
}

} // namespace

void MainWindow::onSelectAllBackupItems() {
    selectAvailable(backupItemBoxes_);
}

void MainWindow::onDeselectAllBackupItems() {
    clearAll(backupItemBoxes_);
}

void MainWindow::onSelectAllRestoreItems() {
    selectAvailable(restoreItemBoxes_);
}

void MainWindow::onDeselectAllRestoreItems() {
    clearAll(restoreItemBoxes_);
}

void MainWindow::setPasswordBoxesEnabled(bool enabled) {
    // The window background while they can be typed in, the grey of inactive
    // fields otherwise.
    const QPalette system = QApplication::palette();
    for (QLineEdit* box : {passwordEdit_, retypeEdit_}) {
        box->setEnabled(enabled);
        QPalette p = box->palette();
        p.setColor(QPalette::Base, enabled ? system.color(QPalette::Active, QPalette::Base)
                                           : system.color(QPalette::Active, QPalette::Button));
        box->setPalette(p);
    }
}

void MainWindow::onProtectToggled() {
    setPasswordBoxesEnabled(protectBox_->isChecked());
    passwordEdit_->clear();
    retypeEdit_->clear();
}

void MainWindow::onSourceProfileChanged() {
    // The locations of the profile being backed up must not change under a
    // running backup.
    if (Busy()) {
        const QSignalBlocker quiet(sourceProfileBox_);
        sourceProfileBox_->setCurrentIndex(profileIndex_);
        RefuseWhileBusy();
        return;
    }
    profileIndex_ = sourceProfileBox_->currentIndex();
    const ItemStates states = env_.ItemStatesOf(sourceProfileBox_->currentText().toStdString());
    for (std::size_t i = 0; i < states.size(); ++i) {
        QCheckBox* box = backupItemBoxes_[i];
        box->setChecked(false);
        box->setEnabled(states[i].enabled);
        QString tip = QString::fromStdString(states[i].toolTip);
        if (!states[i].enabled && !states[i].reason.empty())
            tip += QStringLiteral("\n(Not available for this profile: %1)")
                       .arg(QString::fromStdString(states[i].reason));
        box->setToolTip(tip);
    }
}

void MainWindow::onTargetFileClicked() {
    // The target belongs to a running backup.
    if (RefuseWhileBusy())
        return;
    FileDialogRequest request;
    request.dialogName = QStringLiteral("cdTarget");
    request.title = tr("Save Outlook Data as");
    request.filter = tr("Quenvar Outlook Backup File (*.kvx)");
    request.proposedName =
        ProposedBackupName(sourceProfileBox_->currentText(), QDate::currentDate());
    request.save = true;
    const QString chosen = chooseFile ? chooseFile(request) : QString();
    // A cancelled dialog forgets the earlier choice too.
    targetFileEdit_->setText(chosen);
    targetFileEdit_->setToolTip(chosen);
    targetFile_ = chosen.toStdString();
}

void MainWindow::onApplyClicked() {
    if (tabs_->currentIndex() == 0)
        RunBackup();
    else
        ConfirmAndRunRestore();
}

void MainWindow::ConfirmAndRunRestore() {
    if (RefuseWhileBusy())
        return;
    const std::optional<RestoreChoices> c = restoreChoices();
    if (!c)
        return;
    // Without a backup file there is nothing to confirm: the driver says what is missing.
    const bool go = !inspected_.accepted ||
                    prompter_.Show(RestoreConfirmationText(env_, *archive_, inspected_, *c),
                                   MessageIcon::Information,
                                   MessageButtons::OkCancelDefaultCancel) == MessageAnswer::Ok;
    if (go)
        RunRestore(*c);
}

} // namespace trelmig
