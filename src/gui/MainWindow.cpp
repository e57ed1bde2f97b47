// Lifecycle of the main window: load, unload, tabs, buttons and menus.
#include "gui/MainWindow.h"
#include "gui/WindowMemory.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/BackupDriver.h"
#include "gui/AboutDialog.h"
#include "gui/BackupTab.h"
#include "gui/BackupTargetBox.h"
#include "gui/DataFiles.h"
#include "gui/DiscWriteWindow.h"
#include "gui/Help.h"
#include "gui/PasswordDialog.h"
#include "gui/PrefixChooser.h"
#include "gui/ProgressPanel.h"
#include "gui/RememberedSize.h"
#include "gui/RepositoryAddressDialog.h"
#include "gui/RestoreTab.h"
#include "gui/ScheduleDialog.h"
#include "gui/ScreenFit.h"
#include "gui/Skin.h"
#include "gui/Worker.h"
#include "restore/RestoreDriver.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <exception>

namespace trelmig {

MainWindow::MainWindow(Environment& env, Prompter& prompter, PasswordPrompt* passwords,
                       QWidget* parent)
    : QMainWindow(parent), env_(env), prompter_(prompter) {
    if (!passwords) {
        ownPasswords_ = std::make_unique<DialogPasswordPrompt>(this);
        passwords = ownPasswords_.get();
    }
    passwords_ = passwords;
    archive_ = std::make_unique<ZipArchive>(env_.ansi);
    buildControls();
    // The drivers work on a worker thread: their messages are shown from the
    // window's thread, the panel hands itself over on its own.
    runPrompter_ = std::make_unique<ThreadPrompter>(prompter_);
    backupDriver_ = std::make_unique<BackupDriver>(env_, *archive_, *runPrompter_, *progress_);
    restoreDriver_ = std::make_unique<RestoreDriver>(env_, *archive_, *runPrompter_, *progress_);
    chooseFile = [this](const FileDialogRequest& request) {
        return AskFile(this, request, dialogFolder(),
                       memory_ ? memory_->LastBackupFile() : QString());
    };
    endProgram = [] { QCoreApplication::quit(); };
    choosePrefix = [this] { return ChooseWinePrefix(*this); };
    askRepositoryAddress = [this](const QString& shown) -> std::optional<QString> {
        RepositoryAddressDialog dialog(shown, chooseFile, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.address();
    };
    showDiscWindow = [this](const std::string& handedOver) {
        DiscWriteWindow disc(handedOver, prompter_, this);
        KeepWindowSize(&disc, memory_.get());
        disc.exec();
    };
    showScheduleWindow = [this] {
        if (!scheduleDialog_) {
            scheduleDialog_ = std::make_unique<ScheduleDialog>(env_, prompter_, this);
            scheduleDialog_->Remember(memory_.get());
            KeepWindowSize(scheduleDialog_.get(), memory_.get());
        }
        scheduleDialog_->ShowModal({backupTab_->profileName(), backupTab_->checkedItems(),
                                    QString::fromStdString(backupTab_->targetFile()),
                                    backupTab_->targetKind() == BackupTargetKind::Repository,
                                    QString::fromStdString(backupTab_->repository())});
    };
    watchRuns();
    wireTabs();
    connectHandlers();
    giveDesktopKeys();
    readPrefix();
    OpenAtContentSize(this);
}

MainWindow::~MainWindow() {
    stopRunForGood();
}

bool MainWindow::Busy() const {
    return run_ != nullptr;
}

const InspectedArchive& MainWindow::inspected() const {
    return restoreTab_->inspected();
}

const std::string& MainWindow::targetFile() const {
    return backupTab_->targetFile();
}

bool MainWindow::RefuseWhileBusy() {
    if (!Busy())
        return false;
    const QString refusal =
        repositoryRun_
            ? tr("The program is working on a repository. Please wait until it has finished.")
            : tr("A backup or restore is running. Please wait until it has finished.");
    prompter_.Show(refusal.toStdString(), MessageIcon::Information);
    return true;
}

void MainWindow::connectHandlers() {
    connect(applyButton_, &QPushButton::clicked, this, &MainWindow::onApplyClicked);
    connect(quitButton_, &QPushButton::clicked, this, &MainWindow::onQuitClicked);
    connect(aboutButton_, &QPushButton::clicked, this, &MainWindow::onAboutTriggered);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = currentTab_;
        currentTab_ = index;
        onTabChanged(previous);
    });
    connect(progress_, &ProgressPanel::panelShown, environmentLine_,
            [this](bool shown) { environmentLine_->setVisible(!shown); });
    connect(progress_, &ProgressPanel::cancelClicked, this, &MainWindow::cancelRun);

    connect(backupNowAction_, &QAction::triggered, this, &MainWindow::onBackupNowTriggered);
    connect(restoreNowAction_, &QAction::triggered, this, &MainWindow::onRestoreNowTriggered);
    connect(openPrefixAction_, &QAction::triggered, this, &MainWindow::onOpenPrefixTriggered);
    connect(undoRestoreAction_, &QAction::triggered, this, &MainWindow::onUndoRestoreTriggered);
    connect(quitAction_, &QAction::triggered, this, &MainWindow::onQuitClicked);
    connect(scheduleAction_, &QAction::triggered, this, &MainWindow::onTaskSchedulerTriggered);
    connect(backupToDiscAction_, &QAction::triggered, this, &MainWindow::onBackupToDiscTriggered);
    connect(helpAction_, &QAction::triggered, this, &MainWindow::onHelpTriggered);
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::onAboutTriggered);
    // "Check for update" and the favourites entries have no action.
}

void MainWindow::readPrefix() {
    ApplySkin(this);
    const QString icon = FindDataFile(QStringLiteral("icons/trelmig.svg"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("trelmig"), QIcon(icon)));
    // The archive stores every file under its bare name, so it needs no base
    // folder.
    progress_->hide();
    progress_->SetBarValue(0);
    backupTab_->ResetPasswordBoxes();

    // Names, Windows version and profiles; on a failure the values read so
    // far stay and the rest stay empty.
    std::string outlookName;
    try {
        outlookName = env_.Discover();
    } catch (const std::exception&) {
        // The facts read so far stay; the window shows what it has.
    }
    applyButton_->setText(tabs_->currentIndex() == 0 ? tr("&Backup Now") : tr("&Restore Now"));
    showEnvironmentLine(outlookName);

    restoreTab_->FillTargets();
    backupTab_->ShowProfiles();
    if (!env_.session().profiles.empty())
        return;
    // An Outlook installed and never started has no profile yet: a backup
    // can be restored into a new one.
    if (!env_.session().outlookVersion.empty())
        return;
    prompter_.ShowMessage({MessageId::OutlookNotInstalled, {}}, MessageIcon::Critical);
    applyButton_->setEnabled(false);
}

void MainWindow::showEnvironmentLine(const std::string& outlookName) {
    const Session& s = env_.session();
    QStringList parts;
    if (!outlookName.empty())
        parts << QString::fromStdString(outlookName);
    else if (!s.outlookVersion.empty())
        parts << QStringLiteral("Outlook %1").arg(QString::fromStdString(s.outlookVersion));
    if (!s.windowsVersion.empty())
        parts << QStringLiteral("Windows %1").arg(QString::fromStdString(s.windowsVersion));
    if (!s.computerName.empty())
        parts << QString::fromStdString(s.computerName);
    parts << tr("Wine prefix %1").arg(QString::fromStdString(env_.prefix.root().string()));
    environmentLine_->setText(parts.join(QStringLiteral("  ·  ")));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!quitting_ && Busy()) {
        event->ignore();
        askCancelAndQuit();
        return;
    }
    // Closing the window is the same as File > Quit.
    if (!quitting_ && !unloadOtherWindows()) {
        event->ignore();
        return;
    }
    event->accept();
    if (memory_)
        memory_->SetGeometry(objectName(), saveGeometry());
    if (endProgram)
        endProgram();
}

bool MainWindow::unloadOtherWindows() {
    if (RefuseWhileBusy())
        return false;
    quitting_ = true;
    // The schedule, password, disc and about windows go first.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible())
            window->close();
    return true;
}

void MainWindow::onQuitClicked() {
    if (Busy())
        askCancelAndQuit();
    else if (unloadOtherWindows())
        close(); // ends the program
}

void MainWindow::onTabChanged(int previousTab) {
    applyButton_->setText(previousTab == 1 ? tr("&Backup Now") : tr("&Restore Now"));
    // The button keeps the room of its longest text: the window grows to
    // hold it rather than cut it.
    applyButton_->setMinimumWidth(
        std::max(applyButton_->minimumWidth(), applyButton_->sizeHint().width()));
}

void MainWindow::onBackupNowTriggered() {
    RunBackup();
}

void MainWindow::onRestoreNowTriggered() {
    // Replacing the user's mail is asked for however the restore is started.
    ConfirmAndRunRestore();
}

void MainWindow::onTaskSchedulerTriggered() {
    // The schedule window recomputes the item locations a backup works with.
    if (RefuseWhileBusy())
        return;
    if (showScheduleWindow)
        showScheduleWindow();
}

void MainWindow::onBackupToDiscTriggered() {
    if (showDiscWindow)
        showDiscWindow({});
}

void MainWindow::onHelpTriggered() {
    if (!ShowHelp())
        prompter_.Show(HelpUnavailableMessage().toStdString(), MessageIcon::Information);
}

void MainWindow::onAboutTriggered() {
    AboutDialog box(this);
    box.exec();
}

} // namespace trelmig
