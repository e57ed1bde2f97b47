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

    Frame1 = new QGroupBox(tr("Security"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    SkinLabel1 = new QLabel(tr("Please enter password:"), Frame1);
    SkinLabel1->setObjectName(QStringLiteral("SkinLabel1"));
    txtPassword = new QLineEdit(Frame1);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    // Backups take passwords of any length: so does the prompt that opens them.
    txtPassword->setMinimumWidth(txtPassword->fontMetrics().averageCharWidth() * 34);
    SkinLabel1->setBuddy(txtPassword);
    auto* frame = new QVBoxLayout(Frame1);
    frame->addWidget(SkinLabel1);
    frame->addWidget(txtPassword);

    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdExit = new QPushButton(tr("Cancel"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    // Enter anywhere in the prompt is OK, Escape is Cancel (the dialog's own).
    cmdOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdExit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdExit);

    connect(cmdOK, &QPushButton::clicked, this, &PasswordDialog::onOkClicked);
    connect(cmdExit, &QPushButton::clicked, this, &PasswordDialog::onCancelClicked);
    txtPassword->installEventFilter(this);
    ApplySkin(this);
}

void PasswordDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The user types at once.
    txtPassword->setFocus(Qt::OtherFocusReason);
}

bool PasswordDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtPassword && event->type() == QEvent::KeyPress)
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
    password_ = txtPassword->text().toStdString();
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
