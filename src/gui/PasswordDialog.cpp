#include "gui/PasswordDialog.h"

#include "gui/Skin.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace trelmig {

PasswordDialog::PasswordDialog(std::string& password, QWidget* parent)
    : QDialog(parent), password_(password) {
    setObjectName(QStringLiteral("frmPwd"));
    setWindowTitle(tr("Please enter password"));
    setModal(true);

    securityBox_ = new QGroupBox(tr("Security"), this);
    securityBox_->setObjectName(QStringLiteral("Frame1"));
    promptLabel_ = new QLabel(tr("Please enter password:"), securityBox_);
    promptLabel_->setObjectName(QStringLiteral("SkinLabel1"));
    passwordEdit_ = new QLineEdit(securityBox_);
    passwordEdit_->setObjectName(QStringLiteral("txtPassword"));
    passwordEdit_->setEchoMode(QLineEdit::Password);
    passwordEdit_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    // Backups take passwords of any length: so does the prompt that opens them.
    passwordEdit_->setMinimumWidth(passwordEdit_->fontMetrics().averageCharWidth() * 34);
    promptLabel_->setBuddy(passwordEdit_);
    auto* frame = new QVBoxLayout(securityBox_);
    frame->addWidget(promptLabel_);
    frame->addWidget(passwordEdit_);

    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName(QStringLiteral("cmdOK"));
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cmdExit"));
    // Enter anywhere in the prompt is OK, Escape is Cancel (the dialog's own).
    okButton_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(securityBox_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(passwordEdit_, okButton_);
    setTabOrder(okButton_, cancelButton_);

    connect(okButton_, &QPushButton::clicked, this, &PasswordDialog::onOkClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &PasswordDialog::onCancelClicked);
    passwordEdit_->installEventFilter(this);
    ApplySkin(this);
}

void PasswordDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The user types at once.
    passwordEdit_->setFocus(Qt::OtherFocusReason);
}

bool PasswordDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == passwordEdit_ && event->type() == QEvent::KeyPress)
        return onPasswordKeyPressed(static_cast<QKeyEvent*>(event)->key());
    return QDialog::eventFilter(watched, event);
}

bool PasswordDialog::onPasswordKeyPressed(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false; // every other key is the text box's
    onOkClicked();
    return true;
}

void PasswordDialog::onOkClicked() {
    password_ = passwordEdit_->text().toStdString();
    accept();
}

void PasswordDialog::onCancelClicked() {
    reject();
}

std::optional<std::string> DialogPasswordPrompt::AskPassword() {
    // Asked in the middle of an inspection, which shows the busy pointer.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    PasswordDialog prompt(typed_, parent_);
    const bool ok = prompt.exec() == QDialog::Accepted;
    if (busy)
        QApplication::restoreOverrideCursor();
    if (!ok)
        return std::nullopt;
    return typed_;
}

} // namespace trelmig
