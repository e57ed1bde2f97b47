// The controls of the main window: the tabs, the progress panel, the buttons
// and the menus, and what the tabs ask of the window.
#include "gui/MainWindow.h"

#include "gui/BackupTab.h"
#include "gui/LastBackupLine.h"
#include "gui/ObjectNames.h"
#include "gui/ProgressPanel.h"
#include "gui/RestoreTab.h"
#include "gui/ScreenFit.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace trelmig {

void MainWindow::buildControls() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr("Quenvar Outlook Backup V2.60"));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto* column = new QVBoxLayout(central);

    tabs_ = named(new QTabWidget, "SSTab1");
    backupTab_ = new BackupTab(env_);
    restoreTab_ = new RestoreTab(env_, *archive_, prompter_, *passwords_);
    tabs_->addTab(Scrolling(backupTab_), tr("Backup"));
    tabs_->addTab(Scrolling(restoreTab_), tr("Restore"));
    column->addWidget(tabs_, 1);
    column->addWidget(new LastBackupLine(kStaleBackupDays, central));
    column->addWidget(buildBottomBar());

    // The auxiliary text box that names pass through; never shown.
    scratchEdit_ = named(new QLineEdit(QStringLiteral("Text1"), central), "Texttemp");
    scratchEdit_->hide();

    setCentralWidget(central);
    buildMenus();
}

void MainWindow::wireTabs() {
    // The window's hooks are read when a tab calls them: tests and the
    // program set them after the window is made.
    auto refuse = [this] { return RefuseWhileBusy(); };
    auto choose = [this](const FileDialogRequest& request) {
        return chooseFile ? chooseFile(request) : QString();
    };
    backupTab_->busy = [this] { return Busy(); };
    backupTab_->refuseWhileBusy = refuse;
    backupTab_->chooseFile = choose;
    restoreTab_->refuseWhileBusy = refuse;
    restoreTab_->chooseFile = choose;
    restoreTab_->askNewProfileName = [this](const QString& proposed) {
        return askNewProfileName ? askNewProfileName(proposed) : std::optional<QString>{};
    };
    restoreTab_->askRepositoryAddress = [this](const QString& shown) {
        return askRepositoryAddress ? askRepositoryAddress(shown) : std::optional<QString>{};
    };
    restoreTab_->runInBackground = [this](const QString& status, const QString& detail,
                                          std::function<void()> work, RunFinished finished) {
        runUnmeasured(status, detail, std::move(work), std::move(finished));
    };
    restoreTab_->runMeasuredInBackground =
        [this](const QString& status, const QString& detail,
               std::function<void(const RepositoryJobControls&)> work,
               std::function<void(std::exception_ptr, bool)> finished) {
            runMeasured(status, detail, std::move(work), std::move(finished));
        };
    restoreTab_->versionLister = [this] { return listRepositoryVersions; };
}

QWidget* MainWindow::buildBottomBar() {
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("bottomBar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);

    // The progress panel and the line about the machine share one place;
    // the panel keeps its room while hidden so the window does not jump.
    auto* place = new QGridLayout;
    progress_ = new ProgressPanel;
    QSizePolicy keep = progress_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    progress_->setSizePolicy(keep);
    environmentLine_ = named(new QLabel, "lblEnvironment");
    environmentLine_->setWordWrap(true);
    environmentLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    place->addWidget(environmentLine_, 0, 0);
    place->addWidget(progress_, 0, 0);
    row->addLayout(place, 1);

    aboutButton_ = named(new QPushButton(tr("About")), "cmdAbout");
    quitButton_ = named(new QPushButton(tr("Quit")), "cmdQuit");
    applyButton_ = named(new QPushButton(tr("Backup Now")), "cmdApply");
    for (QPushButton* button : {aboutButton_, quitButton_, applyButton_}) {
        button->setAutoDefault(false);
        // Whole on a narrow window: the line beside them wraps instead.
        button->setSizePolicy(QSizePolicy::Fixed, button->sizePolicy().verticalPolicy());
        row->addWidget(button, 0, Qt::AlignBottom);
    }
    return bar;
}

void MainWindow::buildMenus() {
    auto entry = [](QMenu* menu, const char* name, const QString& text,
                    const QKeySequence& keys = {}) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };
    auto topMenu = [this](const char* name, const QString& text) {
        QMenu* menu = menuBar()->addMenu(text);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };

    fileMenu_ = topMenu("menufile", tr("&File"));
    backupNowAction_ =
        entry(fileMenu_, "backupnow", tr("Backup Now"), QKeySequence(Qt::CTRL | Qt::Key_B));
    restoreNowAction_ =
        entry(fileMenu_, "restorenow", tr("Restore Now"), QKeySequence(Qt::CTRL | Qt::Key_R));
    openPrefixAction_ = entry(fileMenu_, "openprefix", tr("Open Wine Prefix..."),
                              QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction* openWindowsUserAction =
        entry(fileMenu_, "openwindowsuser", tr("Open Windows User Folder..."));
    connect(openWindowsUserAction, &QAction::triggered, this,
            &MainWindow::onOpenWindowsUserTriggered);
    undoRestoreAction_ = entry(fileMenu_, "undorestore", tr("Undo Last Restore..."));
    separator(fileMenu_, "filefg");
    quitAction_ = entry(fileMenu_, "filequit", tr("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));

    optionsMenu_ = topMenu("menuoption", tr("&Options"));
    scheduleAction_ = entry(optionsMenu_, "TaskScheduler", tr("Task Scheduler"));
    askDiscAction_ = entry(optionsMenu_, "askdisc", tr("Offer to Write Each Backup to a Disc"));
    askDiscAction_->setCheckable(true);
    askDiscAction_->setChecked(true);
    separator(optionsMenu_, "fg54");
    checkUpdateAction_ = entry(optionsMenu_, "checkupdate", tr("Check for update"),
                               QKeySequence(Qt::CTRL | Qt::Key_U));

    toolsMenu_ = topMenu("Tools", tr("Tools"));
    favoritesMenu_ = toolsMenu_->addMenu(tr("Backup and Restore IE favorites"));
    favoritesMenu_->setObjectName(QStringLiteral("iebackupandrestore"));
    backupFavoritesAction_ = entry(favoritesMenu_, "backupfavorites", tr("Backup IE favorites"));
    restoreFavoritesAction_ = entry(favoritesMenu_, "restorefavorites", tr("Restore IE favorites"));
    separator(toolsMenu_, "fg23");
    backupToDiscAction_ = entry(toolsMenu_, "backuptocd", tr("Backup Data to CD/DVD"));

    helpMenu_ = topMenu("menuhelp", tr("&Help"));
    helpAction_ = entry(helpMenu_, "helpfile", tr("Help"), QKeySequence(Qt::Key_F1));
    separator(helpMenu_, "helpfg1");
    websiteAction_ =
        entry(helpMenu_, "ourwebsite", tr("Our Website"), QKeySequence(Qt::CTRL | Qt::Key_W));
    separator(helpMenu_, "helpfg2");
    aboutAction_ = entry(helpMenu_, "about", tr("About"), QKeySequence(Qt::CTRL | Qt::Key_A));
}

} // namespace trelmig
