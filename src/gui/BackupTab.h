#pragma once

#include "backup/BackupDriver.h"
#include "core/ItemCatalogue.h"
#include "core/KeepPolicy.h"
#include "gui/FileDialogRequest.h"
#include "gui/TabParts.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;

namespace trelmig {

class BackupTargetBox;
enum class BackupTargetKind;
class Environment;
class KeepVersionsBox;
class WindowMemory;

// The backup side of the main window: the profile, the items to back up
// (with their pop-up menu), the versions to keep, the description stored
// with the backup and where it goes. The window runs the backup from the
// choices this tab makes (Choices()).
class BackupTab : public QWidget {
    Q_OBJECT
public:
    explicit BackupTab(Environment& env, QWidget* parent = nullptr);

    // Set by the window: whether a run is at work, the same with the user
    // told so, and its file dialogs.
    std::function<bool()> busy;
    std::function<bool()> refuseWhileBusy;
    std::function<QString(const FileDialogRequest&)> chooseFile;

    // The profiles of the prefix, the first chosen; with none every item
    // is off.
    void ShowProfiles();
    // The profiles again after a restore made one or an undo took one away;
    // the chosen profile stays when it is still there.
    void ProfilesChanged();
    // The password boxes off, in the colours of the skin now applied.
    void ResetPasswordBoxes();
    // Shows the items and the versions memory kept and keeps the versions
    // chosen from now on.
    void Remember(WindowMemory* memory);

    // The backup the tab shows, as "Backup Now" starts it: the file chosen,
    // not yet a version of it.
    BackupChoices Choices() const;
    std::optional<KeepPolicy> keepPolicy() const;
    QString profileName() const;
    ItemSelection checkedItems() const;
    const std::string& targetFile() const;
    // Whether the backup goes to a repository, its address as typed and the
    // passphrase typed twice.
    BackupTargetKind targetKind() const;
    std::string repository() const;
    std::string passphrase() const;
    std::string retypedPassphrase() const;
    // What must not change while a run works: the profile and the file.
    std::vector<QWidget*> heldDuringRun() const;
    // Ctrl+A on the tab: the pop-up menu's "Select all items".
    QAction* selectAllAction() const { return selectAllAction_; }

private:
    void buildWhat();
    void onSourceProfileChanged();
    void onTargetFileClicked();
    void onTargetRepositoryClicked();

    Environment& env_;
    QGroupBox* whatBox_;
    QComboBox* profileBox_;
    QGroupBox* itemsBox_;
    ItemBoxes itemBoxes_{};
    KeepVersionsBox* keepVersionsBox_;
    QPlainTextEdit* descriptionEdit_;
    BackupTargetBox* targetBox_;
    QAction* selectAllAction_;
    int profileIndex_ = -1; // the profile whose locations are computed
};

} // namespace trelmig
