// Lifecycle of the main window: load, unload, tabs, buttons and menus.
#include "gui/frmMain.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/BackupDriver.h"
#include "gui/Frmoption.h"
#include "gui/GuiDataFiles.h"
#include "gui/GuiHelp.h"
#include "gui/GuiPrefixChooser.h"
#include "gui/GuiProgressPanel.h"
#include "gui/GuiSkin.h"
#include "gui/GuiWorker.h"
#include "gui/frmMaindvdwrite.h"
#include "gui/frmPwd.h"
#include "gui/frmabout.h"
#include "restore/RestoreDriver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include <exception>

namespace trelmig {

frmMain::frmMain(Environment& env, Prompter& prompter, PasswordPrompt* passwords, QWidget* parent)
    : QMainWindow(parent), env_(env), prompter_(prompter) {
    buildControls();
    if (!passwords) {
        ownPasswords_ = std::make_unique<GuiPasswordPrompt>(env_.session, this);
        passwords = ownPasswords_.get();
    }
    passwords_ = passwords;
    zip1_ = std::make_unique<ZipArchive>(env_.ansi);
    // The drivers work on a worker thread: their messages are shown from the
    // window's thread, the panel hands itself over on its own.
    runPrompter_ = std::make_unique<GuiThreadPrompter>(prompter_);
    backupDriver_ = std::make_unique<BackupDriver>(env_, *zip1_, *runPrompter_, *picCon3);
    restoreDriver_ = std::make_unique<RestoreDriver>(env_, *zip1_, *runPrompter_, *picCon3);
    chooseFile = [this](const FileDialogRequest& request) { return askFile(request); };
    endProgram = [] { QCoreApplication::quit(); };
    choosePrefix = [this] { return ChooseWinePrefix(*this); };
    showDiscWindow = [this] {
        frmMaindvdwrite disc(env_.session, prompter_, this);
        disc.exec();
    };
    showScheduleWindow = [this] {
        if (!frmOption_)
            frmOption_ = std::make_unique<Frmoption>(env_, prompter_, this);
        frmOption_->ShowModal();
    };
    connectHandlers();
    giveDesktopKeys();
    Form_Load();
}

frmMain::~frmMain() = default;

bool frmMain::Busy() const {
    return inspecting_ || running_;
}

bool frmMain::RefuseWhileBusy() {
    if (!Busy())
        return false;
    prompter_.Show("A backup or restore is running. Please wait until it has finished.",
                   MessageIcon::Information);
    return true;
}

void frmMain::connectHandlers() {
    connect(cmdApply, &QPushButton::clicked, this, &frmMain::cmdApply_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &frmMain::filequit_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmMain::about_Click);
    connect(cmdTargetFile, &QPushButton::clicked, this, &frmMain::cmdTargetFile_Click);
    connect(cmdSourceFile, &QPushButton::clicked, this, &frmMain::cmdSourceFile_Click);
    connect(ifprotect, &QCheckBox::toggled, this, &frmMain::ifprotect_Click);
    connect(cbSource, &QComboBox::currentIndexChanged, this, &frmMain::cbSource_Click);
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = currentTab_;
        currentTab_ = index;
        SSTab1_Click(previous);
    });
    connect(picCon3, &GuiProgressPanel::panelShown, lblEnvironment,
            [this](bool shown) { lblEnvironment->setVisible(!shown); });
    connect(picCon3, &GuiProgressPanel::cancelClicked, this, &frmMain::cancelRun);

    connect(backupnow, &QAction::triggered, this, &frmMain::backupnow_Click);
    connect(restorenow, &QAction::triggered, this, &frmMain::restorenow_Click);
    connect(openprefix, &QAction::triggered, this, &frmMain::openprefix_Click);
    connect(undorestore, &QAction::triggered, this, &frmMain::undorestore_Click);
    connect(filequit, &QAction::triggered, this, &frmMain::filequit_Click);
    connect(TaskScheduler, &QAction::triggered, this, &frmMain::TaskScheduler_Click);
    connect(backuptocd, &QAction::triggered, this, &frmMain::backuptocd_Click);
    connect(helpfile, &QAction::triggered, this, &frmMain::helpfile_Click);
    connect(ourwebsite, &QAction::triggered, this, &frmMain::ourwebsite_Click);
    connect(about, &QAction::triggered, this, &frmMain::about_Click);
    // "Check for update" and the favourites entries have no action.

    connect(Selectallitems, &QAction::triggered, this, &frmMain::Selectallitems_Click);
    connect(Deselectallitems, &QAction::triggered, this, &frmMain::Deselectallitems_Click);
    connect(Selectallitems2, &QAction::triggered, this, &frmMain::Selectallitems2_Click);
    connect(Deselectallitems2, &QAction::triggered, this, &frmMain::Deselectallitems2_Click);
    Frame6->installEventFilter(this);
    Frame7->installEventFilter(this);
}

void frmMain::Form_Load() {
    ApplySkin(this);
    const QString icon = FindDataFile(QStringLiteral("icons/trelmig.svg"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("trelmig"), QIcon(icon)));
    // The archive stores every file under its bare name, so it needs no base
    // folder.
    picCon3->hide();
    picCon3->pbshow->setRange(0, 100);
    picCon3->pbshow->setValue(0);
    setPasswordBoxesEnabled(false);

    // Names, Windows version and profiles; on a failure the values read so
    // far stay and the rest stay empty.
    std::string outlookName;
    try {
        outlookName = env_.Discover();
    } catch (const std::exception&) {
        env_.session.bNoProfiles = env_.session.arrProfiles.empty();
    }
    env_.session.bNoSourceFile = true;
    cmdApply->setText(SSTab1->currentIndex() == 0 ? QStringLiteral("&Backup Now")
                                                  : QStringLiteral("&Restore Now"));
    showEnvironmentLine(outlookName);

    fillRestoreTargets();
    if (env_.session.bNoProfiles || env_.session.arrProfiles.empty()) {
        for (QCheckBox* box : backupitem)
            box->setEnabled(false);
        // An Outlook installed and never started has no profile yet: a
        // backup can be restored into a new one.
        if (!env_.session.strOutlookVersion.empty())
            return;
        prompter_.Show("Your Windows System have not install MS Outlook or MS Outlook Error!",
                       MessageIcon::Critical);
        cmdApply->setEnabled(false);
        return;
    }
    {
        const QSignalBlocker quiet(cbSource);
        for (const std::string& name : env_.session.arrProfiles)
            cbSource->addItem(QString::fromStdString(name));
        cbSource->setCurrentIndex(0);
    }
    cbSource_Click();
}

void frmMain::showEnvironmentLine(const std::string& outlookName) {
    const Session& s = env_.session;
    QStringList parts;
    if (!outlookName.empty())
        parts << QString::fromStdString(outlookName);
    else if (!s.strOutlookVersion.empty())
        parts << QStringLiteral("Outlook %1").arg(QString::fromStdString(s.strOutlookVersion));
    if (!s.strWinVersion.empty())
        parts << QStringLiteral("Windows %1").arg(QString::fromStdString(s.strWinVersion));
    if (!s.strComputerName.empty())
        parts << QString::fromStdString(s.strComputerName);
    parts << QStringLiteral("Wine prefix %1")
                 .arg(QString::fromStdString(env_.prefix.root().string()));
    lblEnvironment->setText(parts.join(QStringLiteral("  ·  ")));
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!quitting_ && running_) {
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
    if (endProgram)
        endProgram();
}

bool frmMain::unloadOtherWindows() {
    if (RefuseWhileBusy())
        return false;
    quitting_ = true;
    // The schedule, password, disc and about windows go first.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible())
            window->close();
    return true;
}

void frmMain::filequit_Click() {
    if (running_)
        askCancelAndQuit();
    else if (unloadOtherWindows())
        close(); // ends the program
}

void frmMain::SSTab1_Click(int previousTab) {
    cmdApply->setText(previousTab == 1 ? QStringLiteral("&Backup Now")
                                       : QStringLiteral("&Restore Now"));
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && (watched == Frame6 || watched == Frame7)) {
        auto* press = static_cast<QMouseEvent*>(event);
        const QPoint at = press->globalPosition().toPoint();
        if (watched == Frame6)
            Frame6_MouseDown(press->button(), at);
        else
            Frame7_MouseDown(press->button(), at);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::backupnow_Click() {
    RunBackup();
}

void frmMain::restorenow_Click() {
    // Replacing the user's mail is asked for however the restore is started.
    ConfirmAndRunRestore();
}

void frmMain::TaskScheduler_Click() {
    // The schedule window recomputes the item locations a backup works with.
    if (RefuseWhileBusy())
        return;
    if (showScheduleWindow)
        showScheduleWindow();
}

void frmMain::backuptocd_Click() {
    if (showDiscWindow)
        showDiscWindow();
}

void frmMain::helpfile_Click() {
    if (!ShowHelp())
        prompter_.Show(HelpUnavailableMessage().toStdString(), MessageIcon::Information);
}

void frmMain::ourwebsite_Click() {
    OpenDocument(QString::fromLatin1(kMakerWebSite));
}

void frmMain::about_Click() {
    frmabout box(this);
    box.exec();
}

} // namespace trelmig
