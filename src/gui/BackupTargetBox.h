#pragma once

#include <QChar>
#include <QGroupBox>
#include <QString>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace trelmig {

// What differs between the windows that show a BackupTargetBox; the
// defaults are the main window's.
struct BackupTargetLook {
    // Translated in the box's context.
    const char* fileCaption =
        QT_TRANSLATE_NOOP("trelmig::BackupTargetBox", "Choose a backup filename");
    // The names the skin selects the captions by; none by default.
    const char* fileCaptionName = "";
    const char* passwordCaptionName = "";
    const char* retypeCaptionName = "";
    QChar fileCaptionLetter = u'C';
    QChar browseLetter = u'w';
    QChar protectLetter = u's';
    // The file line's least width in average characters; 0 for none.
    int fileLineChars = 0;
    // The whole path as the file line's tool tip.
    bool fileToolTip = true;
    // Own names for the screen reader instead of the captions' texts.
    bool accessibleNames = true;
};

// What a backup is written to: one .kvx file, or a new version in a
// repository that keeps every version at the cost of what changed.
enum class BackupTargetKind { File, Repository };

// "Where" a backup goes: the backup file, chosen with "Browse...", or a
// repository (a folder chosen the same way, or an ssh:// address typed), and
// its protection, a password typed twice; a repository's passphrase takes the
// same two boxes. The owner chooses the file and the folder (it knows the
// profile and the dialogs) and may put more above it.
class BackupTargetBox : public QGroupBox {
    Q_OBJECT
public:
    // above and its caption, when given, stand at the top of the box (first
    // in its tab order too) and take the room the box gains.
    explicit BackupTargetBox(QWidget* aboveCaption = nullptr, QWidget* above = nullptr,
                             QWidget* parent = nullptr);
    BackupTargetBox(const BackupTargetLook& look, QWidget* aboveCaption = nullptr,
                    QWidget* above = nullptr, QWidget* parent = nullptr);
    QPushButton* browseButton() const { return browseButton_; }
    QPushButton* repositoryBrowseButton() const { return repositoryBrowseButton_; }

    // What a run holds still: the choice of the target and its dialogs.
    std::vector<QWidget*> heldDuringRun() const;

    BackupTargetKind targetKind() const;
    void SetTargetKind(BackupTargetKind kind);
    // The repository's address as typed or chosen, blanks trimmed.
    std::string repository() const;
    void SetRepository(const QString& address);

    // The chosen file (host path); empty forgets the earlier choice.
    void SetFile(const QString& file);
    const std::string& file() const { return file_; }

    // A repository's passphrase is always asked for: protect() is true then.
    bool protect() const;
    std::string password() const;
    std::string retyped() const;
    // The window background while they can be typed in, the grey of
    // inactive fields otherwise.
    void SetPasswordBoxesEnabled(bool enabled);
    // Unprotected, with both password boxes empty and inactive.
    void ClearProtection();

signals:
    void targetKindChanged();

private:
    void onProtectToggled();
    void onTargetKindToggled();
    QWidget* buildFileRow(const BackupTargetLook& look);
    QWidget* buildRepositoryRow(const BackupTargetLook& look);

    QRadioButton* fileChoice_;
    QRadioButton* repositoryChoice_;
    QStackedWidget* targetPages_;
    QLineEdit* fileEdit_;
    QPushButton* browseButton_;
    QLineEdit* repositoryEdit_;
    QPushButton* repositoryBrowseButton_;
    QGroupBox* securityBox_;
    QCheckBox* protectBox_;
    QLineEdit* passwordEdit_;
    QLineEdit* retypeEdit_;
    bool fileToolTip_;
    std::string file_;
};

} // namespace trelmig
