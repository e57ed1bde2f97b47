#pragma once

#include "core/PasswordPrompt.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace trelmig {

struct Session;

// The password prompt shown before a protected backup file is inspected.
// It opens with the focus in the password box. OK (or Enter) leaves the typed
// text in strRestorePassword; Cancel (or Escape) leaves strRestorePassword as
// it was, and the inspection stops.
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit PasswordDialog(Session& session, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void onOkClicked();
    void onCancelClicked();
    // Enter in the password box is the same as OK.
    bool onPasswordKeyPressed(int key);

    QGroupBox* Frame1;
    QLabel* SkinLabel1;
    QLineEdit* txtPassword;
    QPushButton* cmdOK;
    QPushButton* cmdExit;

    Session& session_;
};

// The password prompt for the inspection: opens PasswordDialog modally.
class DialogPasswordPrompt : public PasswordPrompt {
public:
    DialogPasswordPrompt(Session& session, QWidget* parent) : session_(session), parent_(parent) {}
    std::optional<std::string> AskPassword() override;

private:
    Session& session_;
    QWidget* parent_;
};

} // namespace trelmig
