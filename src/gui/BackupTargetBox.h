#pragma once

#include <QGroupBox>
#include <QString>

#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace trelmig {

// "Where" a backup goes: the backup file, chosen with "Browse...", and its
// protection, a password typed twice. The owner chooses the file (it knows
// the profile and the dialogs) and may put more above it.
class BackupTargetBox : public QGroupBox {
    Q_OBJECT
public:
    // above and its caption, when given, stand at the top of the box (first
    // in its tab order too) and take the room the box gains.
    explicit BackupTargetBox(QWidget* aboveCaption = nullptr, QWidget* above = nullptr,
                             QWidget* parent = nullptr);
    QPushButton* browseButton() const { return browseButton_; }

    // The chosen file (host path); empty forgets the earlier choice.
    void SetFile(const QString& file);
    const std::string& file() const { return file_; }

    bool protect() const;
    std::string password() const;
    std::string retyped() const;
    // The window background while they can be typed in, the grey of
    // inactive fields otherwise.
    void SetPasswordBoxesEnabled(bool enabled);

private:
    void onProtectToggled();

    QLineEdit* fileEdit_;
    QPushButton* browseButton_;
    QGroupBox* securityBox_;
    QCheckBox* protectBox_;
    QLineEdit* passwordEdit_;
    QLineEdit* retypeEdit_;
    std::string file_;
};

} // namespace trelmig
