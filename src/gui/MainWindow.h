#pragma once

#include "app/MachineSource.h"
#include "core/CancelToken.h"
#include "core/ItemCatalogue.h"
#include "core/Prompter.h"
#include "core/RunRecord.h"
#include "gui/FileDialogRequest.h"
#include "gui/RepositoryJob.h"
#include "restore/SourceFile.h"

#include <QMainWindow>
#include <QString>

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
template <typename T> class QFutureWatcher;

namespace trelmig {

class BackupDriver;
struct BackupChoices;
class BackupTab;
class Environment;
class PasswordPrompt;
class ProgressPanel;
class RestoreDriver;
class RestoreTab;
class ScheduleDialog;
class ThreadPrompter;
class WindowMemory;
class ZipArchive;
struct RepositoryAddress;
struct RestoreChoices;

// The main window: the backup and restore tabs, the progress panel, the
// buttons and the menus. Its controls are its own (the skin and the tests
// find them by object name); its handlers, named by what they answer
// (onApplyClicked, onQuitClicked, ...), call the core for the work.
// A backup or a restore works on a pool thread while the window shows its
// progress and offers Cancel, with the controls that would start another run
// disabled; so do borg's calls on a repository (a listing, a version read
// out), which say what is at work. An inspection works on the window's thread.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // env and prompter must outlive the window; prompter answers every
    // message of the window and of the core it calls. passwords asks for the
    // password of a protected backup file (PasswordDialog when null). Construction
    // runs readPrefix.
    MainWindow(Environment& env, Prompter& prompter, PasswordPrompt* passwords = nullptr,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // --- hooks for the windows of other subsystems and for tests
    // Shows a file dialog; returns the chosen path, empty when cancelled.
    std::function<QString(const FileDialogRequest&)> chooseFile;
    // The disc window (Tools > "Backup Data to CD/DVD" with no archive, and
    // the disc question after a backup with the new archive to hand over).
    std::function<void(const std::string& handedOver)> showDiscWindow;
    // The schedule window (Option > "Task Scheduler").
    std::function<void()> showScheduleWindow;
    // Ends the program after onQuitClicked closed the windows.
    std::function<void()> endProgram;
    // File > "Open Wine Prefix...": asks for a prefix or a Windows user
    // folder (nullopt when cancelled), then hands it to openMachine, which
    // opens the program on it. File > "Open Windows User Folder..." hands
    // the folder it asked for to openMachine too.
    std::function<std::optional<MachineSource>()> choosePrefix;
    std::function<void(const MachineSource&)> openMachine;
    // The restore target "New profile...": asks the new profile's name,
    // offering proposed; nullopt when cancelled.
    std::function<std::optional<QString>(const QString& proposed)> askNewProfileName;
    // "Open Repository...": asks the repository's address, offering the one
    // shown (RepositoryAddressDialog); nullopt when cancelled.
    std::function<std::optional<QString>(const QString& shown)> askRepositoryAddress;
    // What "Open Repository..." lists a repository's versions with, on a
    // pool thread (ListVersions when unset).
    VersionLister listRepositoryVersions;
    // Where restores keep what they replace (nowhere when unset), and where
    // File > "Undo Last Restore..." looks.
    void KeepUndoRecordsIn(std::optional<std::filesystem::path> folder);

    Environment& env() { return env_; }
    ZipArchive& archive() { return *archive_; }
    // The backup file of the restore tab, as its inspection found it.
    const InspectedArchive& inspected() const;
    // The backup tab's target (host path).
    const std::string& targetFile() const;
    Prompter& prompter() { return prompter_; }
    // A backup or restore is at work (its end not yet handled).
    bool Busy() const;

    // File > Quit and the "Quit" button: closes every window and ends the
    // program (refused while a backup or restore works).
    void onQuitClicked();
    // Shows the restore tab and inspects path as "Browse..." does when path
    // is chosen (trelmig FILE.kvx, a file opened from a file manager).
    void OpenBackupFile(const QString& path);
    // From now on the window remembers its size, the items, the folder and
    // the file of the last backup there; what it kept shows at once.
    void Remember(std::unique_ptr<WindowMemory> memory);
    WindowMemory* memory() const { return memory_.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Skin, icon, the prefix's names and profiles: the window's first state.
    void readPrefix();
    void onApplyClicked();
    void onTabChanged(int previousTab);

    // --- drivers
    // "Backup Now": to the tab's file, or to its repository.
    void RunBackup();
    void startBackup(BackupChoices choices);
    // --- repositories (MainWindowRepository.cpp)
    // The backup tab's repository address, checked with its passphrase;
    // nullopt (after telling the user) when either cannot be used.
    std::optional<RepositoryAddress> checkedRepository();
    // A local folder that holds no repository is offered one, then backed up.
    void RunRepositoryBackup();
    void offerNewRepository(const RepositoryAddress& address, const std::string& passphrase);
    // Says that the passphrase alone opens the new repository and offers to
    // export its key to a file; then goes on with then.
    void offerKeyExport(const RepositoryAddress& address, const std::string& passphrase,
                        std::function<void()> then);
    void RunRestore(const RestoreChoices& choices);
    // A run that ended in an exception: the panel goes, the message says why.
    void showRunFailed(const std::string& heading, const std::exception_ptr& error);
    // The question after a backup whether it goes on a disc; true: yes.
    bool askAboutDisc();
    // Old versions a versioned backup could not remove.
    void showVersionProblems(const std::vector<std::string>& problems);
    // Appends a backup's run to the runs log (saying when it cannot) and
    // shows it in the line about the last backup.
    void recordRun(RunRecord run);
    // Asks whether the user's mail may be replaced, then restores.
    void ConfirmAndRunRestore();

    // --- menus and buttons
    void onBackupNowTriggered();
    void onRestoreNowTriggered();
    void onOpenPrefixTriggered();
    void onOpenWindowsUserTriggered();
    // Hands a chosen machine to openMachine unless the window shows it
    // already; a prefix is remembered for the next start.
    void openChosen(const MachineSource& chosen);
    void onUndoRestoreTriggered();
    void onTaskSchedulerTriggered();
    void onBackupToDiscTriggered();
    void onHelpTriggered();
    void onAboutTriggered();

    // --- controls
    QTabWidget* tabs_;
    BackupTab* backupTab_;
    RestoreTab* restoreTab_;
    QPushButton* applyButton_;
    QPushButton* quitButton_;
    QPushButton* aboutButton_;
    QLineEdit* scratchEdit_;
    ProgressPanel* progress_;
    QLabel* environmentLine_; // shown where the progress panel appears

    QMenu* fileMenu_;
    QAction* backupNowAction_;
    QAction* restoreNowAction_;
    QAction* openPrefixAction_;
    QAction* undoRestoreAction_;
    QAction* quitAction_;
    QMenu* optionsMenu_;
    QAction* scheduleAction_;
    QAction* checkUpdateAction_;
    QAction* askDiscAction_; // checked: a backup is followed by the disc question
    QMenu* toolsMenu_;
    QMenu* favoritesMenu_;
    QAction* backupFavoritesAction_;
    QAction* restoreFavoritesAction_;
    QAction* backupToDiscAction_;
    QMenu* helpMenu_;
    QAction* helpAction_;
    QAction* websiteAction_;
    QAction* aboutAction_;

    // --- building and helpers
    void buildControls();
    void wireTabs();
    QWidget* buildBottomBar();
    void buildMenus();
    void giveDesktopKeys(); // MainWindowKeys.cpp
    void connectHandlers();
    // Closes every other window of the program before this one goes; false
    // (after telling the user) while a run is at work.
    bool unloadOtherWindows();
    // Runs a driver (MainWindowWorker.cpp): work on a pool thread, then on
    // the window's thread finished with what work threw (null when nothing),
    // after which the window closes if the user asked for it. Returns at once.
    using RunFinished = std::function<void(std::exception_ptr)>;
    void watchRuns();
    void startRun(std::function<void()> work, RunFinished finished);
    // A repository job on the pool thread, the progress panel busy (and
    // hidden again before finished).
    void startRepositoryRun(std::function<void()> work, RunFinished finished);
    // A run that tells no progress and cannot be cancelled: the panel says
    // status, and detail under it, while it works.
    void runUnmeasured(const QString& status, const QString& detail, std::function<void()> work,
                       RunFinished finished);
    // A repository job that tells borg's percent and stops when cancelled.
    void runMeasured(const QString& status, const QString& detail,
                     std::function<void(const RepositoryJobControls&)> work,
                     std::function<void(std::exception_ptr, bool cancelled)> finished);
    void runEnded();
    // Before the window goes: cancels a run still at work and waits for it.
    void stopRunForGood();
    void cancelRun();
    // Closing while a backup or restore works: offers to cancel it, and
    // closes the window once it has stopped.
    void askCancelAndQuit();
    // Both profile lists again after a restore made a profile or an undo
    // took one away; the backup side keeps its profile when it is still there.
    void profilesChanged();
    void showEnvironmentLine(const std::string& outlookName);
    // True (after telling the user) when a run is at work.
    bool RefuseWhileBusy();

    Environment& env_;
    Prompter& prompter_;
    std::unique_ptr<PasswordPrompt> ownPasswords_;
    PasswordPrompt* passwords_;
    std::unique_ptr<ZipArchive> archive_;
    std::unique_ptr<WindowMemory> memory_; // none: nothing is remembered
    void rememberBackup(const std::string& archivePath, const ItemSelection& items);
    // Where the file dialogs open: the chosen file's folder, else the last
    // backup's, else the documents folder's "Outlook Backups".
    QString dialogFolder() const;
    std::unique_ptr<BackupDriver> backupDriver_;
    std::unique_ptr<RestoreDriver> restoreDriver_;
    std::unique_ptr<ScheduleDialog> scheduleDialog_; // kept: it remembers its backup file
    std::unique_ptr<ThreadPrompter> runPrompter_;    // the drivers' messages
    CancelToken cancel_;
    struct ActiveRun;
    std::shared_ptr<ActiveRun> run_; // the backup or restore at work (shared: declared only)
    QFutureWatcher<void>* runWatcher_ = nullptr;
    bool repositoryRun_ = false; // the run at work is a repository job, not a backup or restore
    bool closeAfterRun_ = false; // the user chose to cancel and quit
    bool quitting_ = false;
    int currentTab_ = 0;
    std::optional<std::filesystem::path> undoRecords_;
};

} // namespace trelmig
