#include "gui/BackupTargetBox.h"

#include "gui/Mnemonics.h"
#include "gui/ObjectNames.h"
#include "gui/TabParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace trelmig {

namespace {

QLineEdit* passwordEdit(const char* name) {
    auto* box = named(new QLineEdit, name);
    box->setEchoMode(QLineEdit::Password);
    // Every typed character shows as "*", with or without the skin.
    box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    return box;
}

} // namespace

BackupTargetBox::BackupTargetBox(QWidget* aboveCaption, QWidget* above, QWidget* parent)
    : BackupTargetBox(BackupTargetLook{}, aboveCaption, above, parent) {}

BackupTargetBox::BackupTargetBox(const BackupTargetLook& look, QWidget* aboveCaption,
                                 QWidget* above, QWidget* parent)
    : QGroupBox(tr("Where"), parent), fileToolTip_(look.fileToolTip) {
    setObjectName(QStringLiteral("Frame2"));
    auto* column = new QVBoxLayout(this);
    if (above) {
        column->addWidget(aboveCaption);
        column->addWidget(above, 1);
    }
    fileEdit_ = named(new QLineEdit, "txtTargetFile");
    // The backup file is chosen with "Browse...", which also asks before
    // overwriting; typing a name here would bypass that.
    fileEdit_->setReadOnly(true);
    if (look.fileLineChars > 0)
        fileEdit_->setMinimumWidth(fileEdit_->fontMetrics().averageCharWidth() *
                                   look.fileLineChars);
    browseButton_ = named(new QPushButton(tr("Browse...")), "cmdTargetFile");
    QLabel* fileCaption = named(Caption(tr(look.fileCaption), browseButton_), look.fileCaptionName);
    column->addWidget(fileCaption);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileEdit_, 1);
    fileRow->addWidget(browseButton_);
    column->addLayout(fileRow);

    securityBox_ = named(new QGroupBox(tr("Security")), "Frame5");
    auto* security = new QGridLayout(securityBox_);
    protectBox_ = named(new QCheckBox(tr("Protect backup file with password")), "ifprotect");
    passwordEdit_ = passwordEdit("txtPassword");
    retypeEdit_ = passwordEdit("txtPassword2");
    QLabel* passwordCaption =
        named(Caption(tr("Password:"), passwordEdit_), look.passwordCaptionName);
    QLabel* retypeCaption =
        named(Caption(tr("Retype Password:"), retypeEdit_), look.retypeCaptionName);
    security->addWidget(protectBox_, 0, 0, 1, 2);
    security->addWidget(passwordCaption, 1, 0);
    security->addWidget(passwordEdit_, 1, 1);
    security->addWidget(retypeCaption, 2, 0);
    security->addWidget(retypeEdit_, 2, 1);
    security->setColumnStretch(1, 1);
    column->addWidget(securityBox_);

    SetMnemonic(fileCaption, look.fileCaptionLetter);
    SetMnemonic(passwordCaption, QLatin1Char('a'));
    SetMnemonic(retypeCaption, QLatin1Char('y'));
    SetMnemonic(protectBox_, look.protectLetter);
    SetMnemonic(browseButton_, look.browseLetter);
    if (look.accessibleNames) {
        // What a screen reader says for each box: its own label, not its frame's.
        fileEdit_->setAccessibleName(tr("Backup file"));
        passwordEdit_->setAccessibleName(tr("Password"));
        retypeEdit_->setAccessibleName(tr("Retype Password"));
    }
    connect(protectBox_, &QCheckBox::toggled, this, &BackupTargetBox::onProtectToggled);
}

void BackupTargetBox::SetFile(const QString& file) {
    fileEdit_->setText(file);
    if (fileToolTip_)
        fileEdit_->setToolTip(file);
    file_ = file.toStdString();
}

bool BackupTargetBox::protect() const {
    return protectBox_->isChecked();
}

std::string BackupTargetBox::password() const {
    return passwordEdit_->text().toStdString();
}

std::string BackupTargetBox::retyped() const {
    return retypeEdit_->text().toStdString();
}

void BackupTargetBox::SetPasswordBoxesEnabled(bool enabled) {
    const QPalette system = QApplication::palette();
    for (QLineEdit* box : {passwordEdit_, retypeEdit_}) {
        box->setEnabled(enabled);
        QPalette p = box->palette();
        p.setColor(QPalette::Base, enabled ? system.color(QPalette::Active, QPalette::Base)
                                           : system.color(QPalette::Active, QPalette::Button));
        box->setPalette(p);
    }
}

void BackupTargetBox::ClearProtection() {
    protectBox_->setChecked(false);
    SetPasswordBoxesEnabled(false);
    passwordEdit_->clear();
    retypeEdit_->clear();
}

void BackupTargetBox::onProtectToggled() {
    SetPasswordBoxesEnabled(protectBox_->isChecked());
    passwordEdit_->clear();
    retypeEdit_->clear();
}

} // namespace trelmig
