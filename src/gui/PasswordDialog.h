#pragma once

#include "core/PasswordPrompt.h"

#include <QDialog>

#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace trelmig {

// The password prompt shown before a protected backup file is inspected.
// It opens with the focus in the password box. OK (or Enter) leaves the typed
// text in password; Cancel (or Escape) leaves password as it was, and the
// inspection stops.
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit PasswordDialog(std::string& password, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void onOkClicked();
    void onCancelClicked();
    // Enter in the password box is the same as OK.
    bool onPasswordKeyPressed(int key);

    QGroupBox* securityBox_;
    QLabel* promptLabel_;
    QLineEdit* passwordEdit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;

    std::string& password_;
};

// The password prompt for the inspection: opens PasswordDialog modally.
class DialogPasswordPrompt : public PasswordPrompt {
public:
    explicit DialogPasswordPrompt(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> AskPassword() override;
    // The password typed last with OK.
    const std::string& LastTyped() const { return typed_; }

private:
    std::string typed_;
    QWidget* parent_;
};

} // namespace trelmig
