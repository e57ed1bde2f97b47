#pragma once

#include "gui/FileDialogRequest.h"
#include "gui/MailStoreWorker.h"
#include "gui/RepositoryJob.h"
#include "gui/TabParts.h"
#include "repository/RepositoryAddress.h"
#include "restore/SourceFile.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace trelmig {

class BackupVersionsList;
class Environment;
class LookInsideWindow;
class WorkFolder;
class PasswordPrompt;
class Prompter;
struct RestoreChoices;
class ZipArchive;

// The restore side of the main window: the backup file to restore from
// (inspected as it is chosen: what it holds, its description, its other
// versions), the profile to restore into and the items to restore (with
// their pop-up menu). The window runs the restore from the inspected file
// and the choices this tab makes (Choices()).
class RestoreTab : public QWidget {
    Q_OBJECT
public:
    // archive holds the inspected file open for the restore; passwords asks
    // for the password of a protected one.
    RestoreTab(Environment& env, ZipArchive& archive, Prompter& prompter, PasswordPrompt& passwords,
               QWidget* parent = nullptr);
    ~RestoreTab() override;

    // Set by the window: whether a run is at work with the user told so,
    // its file dialogs, and the question for a new profile's name (nullopt
    // when cancelled).
    std::function<bool()> refuseWhileBusy;
    std::function<QString(const FileDialogRequest&)> chooseFile;
    std::function<std::optional<QString>(const QString& proposed)> askNewProfileName;
    // How "Look Inside..." opens a data file of the backup open now.
    OpenMailStore openDataFile;
    // "Open Repository...": the repository's address, offering the one
    // shown; nullopt when cancelled.
    std::function<std::optional<QString>(const QString& shown)> askRepositoryAddress;
    // Where the window runs the repository's borg calls, off its own thread
    // (set by the window; unset, they run at once), and what a listing about
    // to start lists the versions with (ListVersions when unset or empty).
    // A version is read out where borg's percent shows and Cancel stops it.
    RunInBackground runInBackground;
    RunMeasuredInBackground runMeasuredInBackground;
    std::function<VersionLister()> versionLister;

    // "Browse...": closes the backup open now and inspects the one chosen.
    void ChooseSourceFile();
    const InspectedArchive& inspected() const { return inspected_; }
    // "Open Repository...": asks the repository's address and passphrase and
    // lists its versions on a pool thread, one of which is then chosen to
    // restore from; what was open goes once the listing has arrived. Refused
    // while a run works.
    void OpenRepository();
    // The repository open now with its passphrase; none while a backup file
    // (or nothing) is open.
    const std::optional<RepositoryAddress>& repository() const { return repository_; }
    const std::string& repositoryPassphrase() const { return passphrase_; }
    // The repository's version chosen; empty before one is.
    const std::string& repositoryVersion() const { return versionName_; }
    // The profiles, then "New profile..." when Outlook is known; the chosen
    // one stays when it is still there.
    void FillTargets();
    void SelectTarget(const std::string& profile);
    // The restore's profile and ticked boxes; for "New profile..." the name
    // is asked. nullopt when that was cancelled or refused.
    std::optional<RestoreChoices> Choices();
    // What must not change while a run works: the file, its version and the
    // profile.
    std::vector<QWidget*> heldDuringRun() const;
    // Ctrl+A on the tab: the pop-up menu's "Select all items".
    QAction* selectAllAction() const { return selectAllAction_; }
    // "Look Inside...": the window on the backup open now (one at a time;
    // closed when another backup is opened).
    void LookInside();
    LookInsideWindow* lookInsideWindow() const;

private:
    QGroupBox* buildFrom();
    QGroupBox* buildInto();
    void clear();
    // Inspects the chosen file and shows what it holds; false (the tab as it
    // was) when its password prompt was cancelled.
    bool inspect(const QString& chosen, const std::optional<std::string>& passwordInUse);
    // The version at path of the backup open now, chosen in the versions list.
    void openVersion(const QString& path);
    // The repository's version of that name, chosen in the versions list:
    // read out of the repository on a pool thread, then what it holds shown
    // as a backup file's is (RestoreTabRepository.cpp). Cancelled, it leaves
    // what was open as it was.
    void openRepositoryVersion(const QString& name);
    // The end of a listing, on the window's thread.
    void showRepository(const RepositoryAddress& address, const std::string& passphrase,
                        const Result<std::vector<RepositoryVersion>>& versions);
    // The end of reading a version out as the .kvx kvx in work.
    void showRepositoryVersion(const QString& name, const Result<std::string>& exported,
                               const std::string& kvx, std::unique_ptr<WorkFolder> work);
    void runRepositoryJob(const QString& status, const QString& detail, std::function<void()> work,
                          std::function<void(std::exception_ptr)> finished);
    // Shows what an inspection found; false when it found nothing to show.
    bool showInspected(const InspectedArchive& result);
    // The target chosen; false when "New profile..." was cancelled or refused.
    bool chooseTarget(std::string& profile, bool& create);
    // The data files (.pst, .ost) the inspected backup holds.
    std::vector<std::string> dataFiles() const;
    void closeLookInside();

    Environment& env_;
    ZipArchive& archive_;
    Prompter& prompter_;
    PasswordPrompt& passwords_;
    QLineEdit* sourceFileEdit_;
    QPushButton* sourceFileButton_;
    QPushButton* lookInsideButton_;
    QPointer<LookInsideWindow> lookInside_;
    QPushButton* repositoryButton_;
    BackupVersionsList* versionsList_;
    QPlainTextEdit* backupFactsText_;
    QPlainTextEdit* backupDescriptionText_;
    QComboBox* targetProfileBox_;
    QGroupBox* itemsBox_;
    ItemBoxes itemBoxes_{};
    QAction* selectAllAction_;
    std::string backupProfile_;  // the profile the inspected backup was made of
    InspectedArchive inspected_; // the backup file the tab shows
    std::optional<RepositoryAddress> repository_;
    std::string passphrase_;
    std::string versionName_;
    // Holds the chosen version as a .kvx while it is open.
    std::unique_ptr<WorkFolder> versionWork_;
};

} // namespace trelmig
