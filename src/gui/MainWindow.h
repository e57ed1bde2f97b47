#pragma once

#include "app/MachineSource.h"
#include "core/CancelToken.h"
#include "core/ItemCatalogue.h"
#include "core/Prompter.h"
#include "core/RunRecord.h"
#include "restore/SourceFile.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
template <typename T> class QFutureWatcher;

namespace trelmig {

class ScheduleDialog;

class BackupDriver;
class BackupVersionsList;
class KeepVersionsBox;
class Environment;
class ProgressPanel;
class ThreadPrompter;
class PasswordPrompt;
class RestoreDriver;
struct RestoreChoices;
class WindowMemory;
class ZipArchive;

// What one of the window's file dialogs (the backup file's, the restore source's) asks for.
struct FileDialogRequest {
    QString dialogName;   // "cdTarget" or "cdSource"
    QString title;        // window title of the dialog
    QString filter;       // Qt form: "Quenvar Outlook Backup File (*.kvx)"
    QString proposedName; // file name offered by a save dialog
    bool save = false;    // a save dialog ("Backup Now" asks before overwriting)
};

// The main window: the backup and restore tabs, the progress panel, the
// buttons and the menus. Its controls are its own (the skin and the tests
// find them by object name); its handlers, named by what they answer
// (onApplyClicked, onSourceProfileChanged, ...), call the core for the work.
// A backup or a restore works on a pool thread while the window shows its
// progress and offers Cancel, with the controls that would start another run
// disabled; an inspection works on the window's thread.
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
    // Where restores keep what they replace (nowhere when unset), and where
    // File > "Undo Last Restore..." looks.
    void KeepUndoRecordsIn(std::optional<std::filesystem::path> folder);

    Environment& env() { return env_; }
    ZipArchive& archive() { return *archive_; }
    // The backup file of the restore tab, as its inspection found it.
    const InspectedArchive& inspected() const { return inspected_; }
    const std::string& targetFile() const { return targetFile_; }
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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Skin, icon, the prefix's names and profiles: the window's first state.
    void readPrefix();

    // --- item panels
    void onBackupItemsMouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void onRestoreItemsMouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void onSelectAllBackupItems();
    void onDeselectAllBackupItems();
    void onSelectAllRestoreItems();
    void onDeselectAllRestoreItems();
    void onProtectToggled();
    void onTargetFileClicked();
    void onApplyClicked();
    void onSourceProfileChanged();
    void onTabChanged(int previousTab);

    // --- drivers
    void RunBackup();
    void RunRestore(const RestoreChoices& choices);
    // The restore's profile and ticked boxes as the window shows them; for
    // "New profile..." the name is asked. nullopt when that was cancelled.
    // A run that ended in an exception: the panel goes, the message says why.
    void showRunFailed(const std::string& heading, const std::exception_ptr& error);
    // The question after a backup whether it goes on a disc; true: yes.
    bool askAboutDisc();
    // Old versions a versioned backup could not remove.
    void showVersionProblems(const std::vector<std::string>& problems);
    // Appends a backup's run to the runs log (saying when it cannot) and
    // shows it in the line about the last backup.
    void recordRun(RunRecord run);
    std::optional<RestoreChoices> restoreChoices();
    // Asks whether the user's mail may be replaced, then restores.
    void ConfirmAndRunRestore();
    void onSourceFileClicked();
    // The version at path of the backup open now, chosen in the versions list.
    void openVersion(const QString& path);
    // Inspects the chosen file and shows what it holds; false (the restore
    // tab as it was) when its password prompt was cancelled.
    bool inspectSourceFile(const QString& chosen, const std::optional<std::string>& passwordInUse);

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
    QGroupBox* backupWhatBox_;
    QGroupBox* backupWhereBox_;
    QGroupBox* restoreFromBox_;
    QGroupBox* restoreIntoBox_;
    QGroupBox* securityBox_;
    QGroupBox* backupItemsBox_;
    QGroupBox* restoreItemsBox_;
    QComboBox* sourceProfileBox_;
    QComboBox* targetProfileBox_;
    std::array<QCheckBox*, kItemCount> backupItemBoxes_{};
    std::array<QCheckBox*, kItemCount> restoreItemBoxes_{};
    QPlainTextEdit* descriptionEdit_;
    QLineEdit* targetFileEdit_;
    QPushButton* targetFileButton_;
    QCheckBox* protectBox_;
    QLineEdit* passwordEdit_;
    QLineEdit* retypeEdit_;
    KeepVersionsBox* keepVersionsBox_;
    QLineEdit* sourceFileEdit_;
    BackupVersionsList* versionsList_;
    QPushButton* sourceFileButton_;
    QPlainTextEdit* backupFactsText_;
    QPlainTextEdit* backupDescriptionText_;
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
    QMenu* backupItemsMenu_;
    QAction* selectAllBackupItemsAction_;
    QAction* deselectAllBackupItemsAction_;
    QMenu* restoreItemsMenu_;
    QAction* selectAllRestoreItemsAction_;
    QAction* deselectAllRestoreItemsAction_;

    // --- building and helpers
    void buildControls();
    QWidget* buildBackupTab();
    QWidget* buildRestoreTab();
    QWidget* buildBottomBar();
    void buildMenus();
    void giveDesktopKeys(); // MainWindowKeys.cpp
    void giveItemMnemonics();
    void nameInputs();
    void connectHandlers();
    void setPasswordBoxesEnabled(bool enabled);
    // Closes every other window of the program before this one goes; false
    // (after telling the user) while a run is at work.
    bool unloadOtherWindows();
    // Runs a driver (MainWindowWorker.cpp): work on a pool thread, then on
    // the window's thread finished with what work threw (null when nothing),
    // after which the window closes if the user asked for it. Returns at once.
    using RunFinished = std::function<void(std::exception_ptr)>;
    void watchRuns();
    void startRun(std::function<void()> work, RunFinished finished);
    void runEnded();
    // Before the window goes: cancels a run still at work and waits for it.
    void stopRunForGood();
    void cancelRun();
    // Closing while a backup or restore works: offers to cancel it, and
    // closes the window once it has stopped.
    void askCancelAndQuit();
    void clearRestoreSide();
    // The restore target list: the profiles, then "New profile..." when Outlook is known.
    void fillRestoreTargets();
    // Both profile lists again after a restore made a profile or an undo
    // took one away; the backup side keeps its profile when it is still there.
    void profilesChanged();
    // The restore's target profile as chosen; false when "New profile..." was
    // cancelled.
    bool chooseRestoreTarget(std::string& profile, bool& create);
    void showEnvironmentLine(const std::string& outlookName);
    // True (after telling the user) when a run is at work.
    bool RefuseWhileBusy();
    QString askFile(const FileDialogRequest& request);

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
    bool closeAfterRun_ = false; // the user chose to cancel and quit
    bool quitting_ = false;
    int currentTab_ = 0;
    int profileIndex_ = -1; // the backup profile whose locations are computed
    std::optional<std::filesystem::path> undoRecords_;
    std::string backupProfile_;  // the profile the inspected backup was made of
    InspectedArchive inspected_; // the backup file of the restore tab
    std::string targetFile_;     // the backup tab's target (host path)
};

} // namespace trelmig
