// Lifecycle of the main window: load, unload, tabs, buttons and menus.
#include "gui/MainWindow.h"
#include "gui/WindowMemory.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/BackupDriver.h"
#include "gui/AboutDialog.h"
#include "gui/BackupVersionsList.h"
#include "gui/DataFiles.h"
#include "gui/DiscWriteWindow.h"
#include "gui/Help.h"
#include "gui/PasswordDialog.h"
#include "gui/PrefixChooser.h"
#include "gui/ProgressPanel.h"
#include "gui/RememberedSize.h"
#include "gui/ScheduleDialog.h"
#include "gui/ScreenFit.h"
#include "gui/Skin.h"
#include "gui/Worker.h"
#include "restore/RestoreDriver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <exception>

namespace trelmig {

MainWindow::MainWindow(Environment& env, Prompter& prompter, PasswordPrompt* passwords,
                       QWidget* parent)
    : QMainWindow(parent), env_(env), prompter_(prompter) {
    buildControls();
    if (!passwords) {
        ownPasswords_ = std::make_unique<DialogPasswordPrompt>(this);
        passwords = ownPasswords_.get();
    }
    passwords_ = passwords;
    zip1_ = std::make_unique<ZipArchive>(env_.ansi);
    // The drivers work on a worker thread: their messages are shown from the
    // window's thread, the panel hands itself over on its own.
    runPrompter_ = std::make_unique<ThreadPrompter>(prompter_);
    backupDriver_ = std::make_unique<BackupDriver>(env_, *zip1_, *runPrompter_, *picCon3);
    restoreDriver_ = std::make_unique<RestoreDriver>(env_, *zip1_, *runPrompter_, *picCon3);
    chooseFile = [this](const FileDialogRequest& request) { return askFile(request); };
    endProgram = [] { QCoreApplication::quit(); };
    choosePrefix = [this] { return ChooseWinePrefix(*this); };
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
        ScheduleStart start{cbSource->currentText(), {}, QString::fromStdString(targetFile_)};
        for (int i = 0; i < kItemCount; ++i)
            start.items[static_cast<std::size_t>(i)] =
                backupitem[static_cast<std::size_t>(i)]->isChecked();
        scheduleDialog_->ShowModal(start);
    };
    watchRuns();
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

bool MainWindow::RefuseWhileBusy() {
    if (!Busy())
        return false;
    prompter_.Show(
        tr("A backup or restore is running. Please wait until it has finished.").toStdString(),
        MessageIcon::Information);
    return true;
}

void MainWindow::connectHandlers() {
    connect(cmdApply, &QPushButton::clicked, this, &MainWindow::onApplyClicked);
    connect(cmdQuit, &QPushButton::clicked, this, &MainWindow::onQuitClicked);
    connect(cmdAbout, &QPushButton::clicked, this, &MainWindow::onAboutTriggered);
    connect(cmdTargetFile, &QPushButton::clicked, this, &MainWindow::onTargetFileClicked);
    connect(cmdSourceFile, &QPushButton::clicked, this, &MainWindow::onSourceFileClicked);
    // Queued: the inspection refills the list that is announcing the choice.
    connect(versionsList, &BackupVersionsList::versionChosen, this, &MainWindow::openVersion,
            Qt::QueuedConnection);
    connect(ifprotect, &QCheckBox::toggled, this, &MainWindow::onProtectToggled);
    connect(cbSource, &QComboBox::currentIndexChanged, this, &MainWindow::onSourceProfileChanged);
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = currentTab_;
        currentTab_ = index;
        onTabChanged(previous);
    });
    connect(picCon3, &ProgressPanel::panelShown, lblEnvironment,
            [this](bool shown) { lblEnvironment->setVisible(!shown); });
    connect(picCon3, &ProgressPanel::cancelClicked, this, &MainWindow::cancelRun);

    connect(backupnow, &QAction::triggered, this, &MainWindow::onBackupNowTriggered);
    connect(restorenow, &QAction::triggered, this, &MainWindow::onRestoreNowTriggered);
    connect(openprefix, &QAction::triggered, this, &MainWindow::onOpenPrefixTriggered);
    connect(undorestore, &QAction::triggered, this, &MainWindow::onUndoRestoreTriggered);
    connect(filequit, &QAction::triggered, this, &MainWindow::onQuitClicked);
    connect(TaskScheduler, &QAction::triggered, this, &MainWindow::onTaskSchedulerTriggered);
    connect(backuptocd, &QAction::triggered, this, &MainWindow::onBackupToDiscTriggered);
    connect(helpfile, &QAction::triggered, this, &MainWindow::onHelpTriggered);
    connect(about, &QAction::triggered, this, &MainWindow::onAboutTriggered);
    // "Check for update" and the favourites entries have no action.

    connect(Selectallitems, &QAction::triggered, this, &MainWindow::onSelectAllBackupItems);
    connect(Deselectallitems, &QAction::triggered, this, &MainWindow::onDeselectAllBackupItems);
    connect(Selectallitems2, &QAction::triggered, this, &MainWindow::onSelectAllRestoreItems);
    connect(Deselectallitems2, &QAction::triggered, this, &MainWindow::onDeselectAllRestoreItems);
    Frame6->installEventFilter(this);
    Frame7->installEventFilter(this);
}

void MainWindow::readPrefix() {
    ApplySkin(this);
    const QString icon = FindDataFile(QStringLiteral("icons/trelmig.svg"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("trelmig"), QIcon(icon)));
    // The archive stores every file under its bare name, so it needs no base
    // folder.
    picCon3->hide();
    picCon3->SetBarValue(0);
    setPasswordBoxesEnabled(false);

    // Names, Windows version and profiles; on a failure the values read so
    // far stay and the rest stay empty.
    std::string outlookName;
    try {
        outlookName = env_.Discover();
    } catch (const std::exception&) {
        // The facts read so far stay; the window shows what it has.
    }
    inspected_ = {};
    cmdApply->setText(SSTab1->currentIndex() == 0 ? tr("&Backup Now") : tr("&Restore Now"));
    showEnvironmentLine(outlookName);

    fillRestoreTargets();
    if (env_.session().profiles.empty()) {
        for (QCheckBox* box : backupitem)
            box->setEnabled(false);
        // An Outlook installed and never started has no profile yet: a
        // backup can be restored into a new one.
        if (!env_.session().outlookVersion.empty())
            return;
        prompter_.ShowMessage({MessageId::OutlookNotInstalled, {}}, MessageIcon::Critical);
        cmdApply->setEnabled(false);
        return;
    }
    {
        const QSignalBlocker quiet(cbSource);
        for (const std::string& name : env_.session().profiles)
            cbSource->addItem(QString::fromStdString(name));
        cbSource->setCurrentIndex(0);
    }
    onSourceProfileChanged();
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
    lblEnvironment->setText(parts.join(QStringLiteral("  ·  ")));
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
    cmdApply->setText(previousTab == 1 ? tr("&Backup Now") : tr("&Restore Now"));
    // The button keeps the room of its longest text: the window grows to
    // hold it rather than cut it.
    cmdApply->setMinimumWidth(std::max(cmdApply->minimumWidth(), cmdApply->sizeHint().width()));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The menu key or Shift+F10 on an item panel (or a box in it) opens its
    // pop-up menu, as the right mouse button does.
    if (event->type() == QEvent::ContextMenu && (watched == Frame6 || watched == Frame7)) {
        auto* asked = static_cast<QContextMenuEvent*>(event);
        if (asked->reason() == QContextMenuEvent::Keyboard) {
            QWidget* focus = QApplication::focusWidget();
            const QPoint at = focus && static_cast<QWidget*>(watched)->isAncestorOf(focus)
                                  ? focus->mapToGlobal(QPoint(0, focus->height()))
                                  : asked->globalPos();
            (watched == Frame6 ? selectitem : selectitem2)->popup(at);
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress && (watched == Frame6 || watched == Frame7)) {
        auto* press = static_cast<QMouseEvent*>(event);
        const QPoint at = press->globalPosition().toPoint();
        if (watched == Frame6)
            onBackupItemsMouseDown(press->button(), at);
        else
            onRestoreItemsMouseDown(press->button(), at);
    }
    return QMainWindow::eventFilter(watched, event);
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
