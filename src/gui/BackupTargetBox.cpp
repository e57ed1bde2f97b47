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
#include <QRadioButton>
#include <QStackedWidget>
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
    fileChoice_ = named(new QRadioButton(tr("A backup file")), "optTargetFile");
    repositoryChoice_ = named(new QRadioButton(tr("A repository")), "optTargetRepository");
    fileChoice_->setChecked(true);
    fileChoice_->setToolTip(tr("One .kvx file, replaced by each backup or kept in dated versions"));
    repositoryChoice_->setToolTip(
        tr("A BorgBackup repository: each backup is a version that costs only what changed"));
    auto* kindRow = new QHBoxLayout;
    kindRow->addWidget(named(new QLabel(tr("Back up to:")), "lblTargetKind"));
    kindRow->addWidget(fileChoice_);
    kindRow->addWidget(repositoryChoice_);
    kindRow->addStretch(1);
    column->addLayout(kindRow);
    targetPages_ = new QStackedWidget;
    targetPages_->addWidget(buildFileRow(look));
    targetPages_->addWidget(buildRepositoryRow(look));
    // Each page as high as it needs, not as the higher of the two.
    targetPages_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    column->addWidget(targetPages_);

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

    SetMnemonic(passwordCaption, QLatin1Char('a'));
    SetMnemonic(retypeCaption, QLatin1Char('y'));
    SetMnemonic(protectBox_, look.protectLetter);
    SetMnemonic(browseButton_, look.browseLetter);
    if (look.accessibleNames) {
        // What a screen reader says for each box: its own label, not its frame's.
        fileEdit_->setAccessibleName(tr("Backup file"));
        repositoryEdit_->setAccessibleName(tr("Repository"));
        passwordEdit_->setAccessibleName(tr("Password"));
        retypeEdit_->setAccessibleName(tr("Retype Password"));
    }
    connect(protectBox_, &QCheckBox::toggled, this, &BackupTargetBox::onProtectToggled);
    connect(repositoryChoice_, &QRadioButton::toggled, this, &BackupTargetBox::onTargetKindToggled);
}

QWidget* BackupTargetBox::buildFileRow(const BackupTargetLook& look) {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    fileEdit_ = named(new QLineEdit, "txtTargetFile");
    // The backup file is chosen with "Browse...", which also asks before
    // overwriting; typing a name here would bypass that.
    fileEdit_->setReadOnly(true);
    if (look.fileLineChars > 0)
        fileEdit_->setMinimumWidth(fileEdit_->fontMetrics().averageCharWidth() *
                                   look.fileLineChars);
    browseButton_ = named(new QPushButton(tr("Browse...")), "cmdTargetFile");
    QLabel* fileCaption = named(Caption(tr(look.fileCaption), browseButton_), look.fileCaptionName);
    SetMnemonic(fileCaption, look.fileCaptionLetter);
    column->addWidget(fileCaption);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileEdit_, 1);
    fileRow->addWidget(browseButton_);
    column->addLayout(fileRow);
    return page;
}

QWidget* BackupTargetBox::buildRepositoryRow(const BackupTargetLook& look) {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    // Typed too: a repository on another machine has no folder to browse to.
    repositoryEdit_ = named(new QLineEdit, "txtTargetRepository");
    repositoryEdit_->setPlaceholderText(tr("A folder, or ssh://user@host/path"));
    repositoryBrowseButton_ = named(new QPushButton(tr("Browse...")), "cmdTargetRepository");
    QLabel* caption =
        named(Caption(tr("Repository folder or address"), repositoryEdit_), "lblRepositoryCaption");
    // The page shows instead of the file's: the same letter reaches its
    // Browse button; both windows' letters leave R free for the address.
    SetMnemonic(caption, QLatin1Char('R'));
    SetMnemonic(repositoryBrowseButton_, look.browseLetter);
    column->addWidget(caption);
    auto* row = new QHBoxLayout;
    row->addWidget(repositoryEdit_, 1);
    row->addWidget(repositoryBrowseButton_);
    column->addLayout(row);
    return page;
}

std::vector<QWidget*> BackupTargetBox::heldDuringRun() const {
    return {browseButton_, repositoryBrowseButton_, fileChoice_, repositoryChoice_};
}

BackupTargetKind BackupTargetBox::targetKind() const {
    return repositoryChoice_->isChecked() ? BackupTargetKind::Repository : BackupTargetKind::File;
}

void BackupTargetBox::SetTargetKind(BackupTargetKind kind) {
    (kind == BackupTargetKind::Repository ? repositoryChoice_ : fileChoice_)->setChecked(true);
}

std::string BackupTargetBox::repository() const {
    return repositoryEdit_->text().trimmed().toStdString();
}

void BackupTargetBox::SetRepository(const QString& address) {
    repositoryEdit_->setText(address);
}

void BackupTargetBox::onTargetKindToggled() {
    const bool repository = repositoryChoice_->isChecked();
    targetPages_->setCurrentIndex(repository ? 1 : 0);
    // A repository is always opened with its passphrase: there is nothing
    // to tick, and the boxes are open to type in.
    protectBox_->setVisible(!repository);
    const QSignalBlocker quiet(protectBox_);
    protectBox_->setChecked(false);
    SetPasswordBoxesEnabled(repository);
    passwordEdit_->clear();
    retypeEdit_->clear();
    emit targetKindChanged();
}

void BackupTargetBox::SetFile(const QString& file) {
    fileEdit_->setText(file);
    if (fileToolTip_)
        fileEdit_->setToolTip(file);
    file_ = file.toStdString();
}

bool BackupTargetBox::protect() const {
    return targetKind() == BackupTargetKind::Repository || protectBox_->isChecked();
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
    SetPasswordBoxesEnabled(targetKind() == BackupTargetKind::Repository);
    passwordEdit_->clear();
    retypeEdit_->clear();
}

void BackupTargetBox::onProtectToggled() {
    SetPasswordBoxesEnabled(protectBox_->isChecked());
    passwordEdit_->clear();
    retypeEdit_->clear();
}

} // namespace trelmig
