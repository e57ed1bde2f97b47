// The controls of the main window: tabs, frames, item panels, the progress
// panel, the buttons and the menus.
#include "gui/MainWindow.h"

#include "gui/BackupVersionsList.h"
#include "gui/ItemTexts.h"
#include "gui/KeepVersionsBox.h"
#include "gui/LastBackupLine.h"
#include "gui/ObjectNames.h"
#include "gui/ProgressPanel.h"
#include "gui/ScreenFit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace trelmig {

namespace {

QLabel* caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

QLineEdit* passwordBox(const char* name) {
    auto* box = named(new QLineEdit, name);
    box->setEchoMode(QLineEdit::Password);
    // Every typed character shows as "*", with or without the skin.
    box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    return box;
}

QPlainTextEdit* infoBox(const char* name, int lines) {
    auto* box = named(new QPlainTextEdit, name);
    box->setReadOnly(true);
    box->setTabChangesFocus(true);
    box->setMinimumHeight(box->fontMetrics().lineSpacing() * lines + 12);
    return box;
}

// A profile box that a long profile name does not widen: the name is cut
// short with "..." and shown whole in the tool tip.
QComboBox* profileBox(const char* name) {
    auto* box = named(new QComboBox, name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(14);
    QObject::connect(box, &QComboBox::currentTextChanged, box, &QWidget::setToolTip);
    return box;
}

QString itemObjectName(const char* array, int index) {
    return QStringLiteral("%1(%2)").arg(QString::fromLatin1(array)).arg(index);
}

} // namespace

void MainWindow::buildControls() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr("Quenvar Outlook Backup V2.60"));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto* column = new QVBoxLayout(central);

    SSTab1 = named(new QTabWidget, "SSTab1");
    SSTab1->addTab(Scrolling(buildBackupTab()), tr("Backup"));
    SSTab1->addTab(Scrolling(buildRestoreTab()), tr("Restore"));
    column->addWidget(SSTab1, 1);
    column->addWidget(new LastBackupLine(kStaleBackupDays, central));
    column->addWidget(buildBottomBar());

    // The auxiliary text box that names pass through; never shown.
    Texttemp = named(new QLineEdit(QStringLiteral("Text1"), central), "Texttemp");
    Texttemp->hide();

    setCentralWidget(central);
    buildMenus();
}

QWidget* MainWindow::buildBackupTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabBackup"));
    auto* row = new QHBoxLayout(page);

    Frame1 = named(new QGroupBox(tr("What")), "Frame1");
    auto* what = new QVBoxLayout(Frame1);
    cbSource = profileBox("cbSource");
    what->addWidget(caption(tr("Profile to backup"), cbSource));
    what->addWidget(cbSource);
    Frame6 = named(new QGroupBox(tr("Items to backup")), "Frame6");
    auto* items = new QVBoxLayout(Frame6);
    for (int i = 0; i < kItemCount; ++i) {
        const CatalogueItem& item = itemCatalogue()[static_cast<std::size_t>(i)];
        auto* box = new QCheckBox(ItemText(item.caption));
        box->setObjectName(itemObjectName("backupitem", i));
        box->setToolTip(ItemText(item.backupToolTip));
        backupitem[static_cast<std::size_t>(i)] = box;
        items->addWidget(box);
    }
    items->addStretch(1);
    what->addWidget(Frame6, 1);
    keepVersions = new KeepVersionsBox;
    what->addWidget(keepVersions);
    row->addWidget(Frame1, 1);

    Frame2 = named(new QGroupBox(tr("Where")), "Frame2");
    auto* where = new QVBoxLayout(Frame2);
    txtAttachInfo = named(new QPlainTextEdit, "txtAttachInfo");
    txtAttachInfo->setTabChangesFocus(true);
    txtAttachInfo->setPlaceholderText(tr("A note stored with the backup"));
    where->addWidget(caption(tr("Description"), txtAttachInfo));
    where->addWidget(txtAttachInfo, 1);
    txtTargetFile = named(new QLineEdit, "txtTargetFile");
    // The backup file is chosen with "Browse...", which also asks before
    // overwriting; typing a name here would bypass that.
    txtTargetFile->setReadOnly(true);
    cmdTargetFile = named(new QPushButton(tr("Browse...")), "cmdTargetFile");
    where->addWidget(caption(tr("Choose a backup filename"), cmdTargetFile));
    auto* target = new QHBoxLayout;
    target->addWidget(txtTargetFile, 1);
    target->addWidget(cmdTargetFile);
    where->addLayout(target);

    Frame5 = named(new QGroupBox(tr("Security")), "Frame5");
    auto* security = new QGridLayout(Frame5);
    ifprotect = named(new QCheckBox(tr("Protect backup file with password")), "ifprotect");
    txtPassword = passwordBox("txtPassword");
    txtPassword2 = passwordBox("txtPassword2");
    security->addWidget(ifprotect, 0, 0, 1, 2);
    security->addWidget(caption(tr("Password:"), txtPassword), 1, 0);
    security->addWidget(txtPassword, 1, 1);
    security->addWidget(caption(tr("Retype Password:"), txtPassword2), 2, 0);
    security->addWidget(txtPassword2, 2, 1);
    security->setColumnStretch(1, 1);
    where->addWidget(Frame5);
    row->addWidget(Frame2, 1);
    return page;
}

QWidget* MainWindow::buildRestoreTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabRestore"));
    auto* row = new QHBoxLayout(page);

    Frame3 = named(new QGroupBox(tr("Restore from")), "Frame3");
    auto* where = new QVBoxLayout(Frame3);
    txtSourceFile = named(new QLineEdit, "txtSourceFile");
    txtSourceFile->setReadOnly(true);
    cmdSourceFile = named(new QPushButton(tr("Browse...")), "cmdSourceFile");
    where->addWidget(caption(tr("Choose a Backup File to Restore From"), cmdSourceFile));
    auto* source = new QHBoxLayout;
    source->addWidget(txtSourceFile, 1);
    source->addWidget(cmdSourceFile);
    where->addLayout(source);
    versionsList = new BackupVersionsList;
    where->addWidget(versionsList);
    txtPOBinfo = infoBox("txtPOBinfo", 5);
    txtPOBinfo->setMaximumHeight(txtPOBinfo->minimumHeight() + 8);
    txtFileInfo = infoBox("txtFileInfo", 3);
    where->addWidget(caption(tr("Description"), txtPOBinfo));
    where->addWidget(txtPOBinfo);
    where->addWidget(txtFileInfo, 1);
    row->addWidget(Frame3, 1);

    Frame4 = named(new QGroupBox(tr("Restore into")), "Frame4");
    auto* what = new QVBoxLayout(Frame4);
    cbTarget = profileBox("cbTarget");
    what->addWidget(caption(tr("Restore to profile"), cbTarget));
    what->addWidget(cbTarget);
    Frame7 = named(new QGroupBox(tr("Items to restore")), "Frame7");
    auto* items = new QVBoxLayout(Frame7);
    for (int i = 0; i < kItemCount; ++i) {
        const CatalogueItem& item = itemCatalogue()[static_cast<std::size_t>(i)];
        auto* box = new QCheckBox(ItemText(item.caption));
        box->setObjectName(itemObjectName("restoreitem", i));
        box->setToolTip(ItemText(item.restoreToolTip));
        // Enabled by the inspection of a backup file that holds the item.
        box->setEnabled(false);
        restoreitem[static_cast<std::size_t>(i)] = box;
        items->addWidget(box);
    }
    items->addStretch(1);
    what->addWidget(Frame7, 1);
    row->addWidget(Frame4, 1);
    return page;
}

QWidget* MainWindow::buildBottomBar() {
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("bottomBar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);

    // The progress panel and the line about the machine share one place;
    // the panel keeps its room while hidden so the window does not jump.
    auto* place = new QGridLayout;
    picCon3 = new ProgressPanel;
    QSizePolicy keep = picCon3->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    picCon3->setSizePolicy(keep);
    lblEnvironment = named(new QLabel, "lblEnvironment");
    lblEnvironment->setWordWrap(true);
    lblEnvironment->setTextInteractionFlags(Qt::TextSelectableByMouse);
    place->addWidget(lblEnvironment, 0, 0);
    place->addWidget(picCon3, 0, 0);
    row->addLayout(place, 1);

    cmdAbout = named(new QPushButton(tr("About")), "cmdAbout");
    cmdQuit = named(new QPushButton(tr("Quit")), "cmdQuit");
    cmdApply = named(new QPushButton(tr("Backup Now")), "cmdApply");
    for (QPushButton* button : {cmdAbout, cmdQuit, cmdApply}) {
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

    menufile = topMenu("menufile", tr("&File"));
    backupnow = entry(menufile, "backupnow", tr("Backup Now"), QKeySequence(Qt::CTRL | Qt::Key_B));
    restorenow =
        entry(menufile, "restorenow", tr("Restore Now"), QKeySequence(Qt::CTRL | Qt::Key_R));
    openprefix = entry(menufile, "openprefix", tr("Open Wine Prefix..."),
                       QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction* openwindowsuser =
        entry(menufile, "openwindowsuser", tr("Open Windows User Folder..."));
    connect(openwindowsuser, &QAction::triggered, this, &MainWindow::onOpenWindowsUserTriggered);
    undorestore = entry(menufile, "undorestore", tr("Undo Last Restore..."));
    separator(menufile, "filefg");
    filequit = entry(menufile, "filequit", tr("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));

    menuoption = topMenu("menuoption", tr("&Options"));
    TaskScheduler = entry(menuoption, "TaskScheduler", tr("Task Scheduler"));
    askdisc = entry(menuoption, "askdisc", tr("Offer to Write Each Backup to a Disc"));
    askdisc->setCheckable(true);
    askdisc->setChecked(true);
    separator(menuoption, "fg54");
    checkupdate = entry(menuoption, "checkupdate", tr("Check for update"),
                        QKeySequence(Qt::CTRL | Qt::Key_U));

    Tools = topMenu("Tools", tr("Tools"));
    iebackupandrestore = Tools->addMenu(tr("Backup and Restore IE favorites"));
    iebackupandrestore->setObjectName(QStringLiteral("iebackupandrestore"));
    backupfavorites = entry(iebackupandrestore, "backupfavorites", tr("Backup IE favorites"));
    restorefavorites = entry(iebackupandrestore, "restorefavorites", tr("Restore IE favorites"));
    separator(Tools, "fg23");
    backuptocd = entry(Tools, "backuptocd", tr("Backup Data to CD/DVD"));

    menuhelp = topMenu("menuhelp", tr("&Help"));
    helpfile = entry(menuhelp, "helpfile", tr("Help"), QKeySequence(Qt::Key_F1));
    separator(menuhelp, "helpfg1");
    ourwebsite =
        entry(menuhelp, "ourwebsite", tr("Our Website"), QKeySequence(Qt::CTRL | Qt::Key_W));
    separator(menuhelp, "helpfg2");
    about = entry(menuhelp, "about", tr("About"), QKeySequence(Qt::CTRL | Qt::Key_A));

    // Pop-up menus of the item panels; they have no place in the menu bar.
    selectitem = named(new QMenu(this), "selectitem");
    Selectallitems = entry(selectitem, "Selectallitems", tr("Select all items"));
    Deselectallitems = entry(selectitem, "Deselectallitems", tr("Deselect all items"));
    selectitem2 = named(new QMenu(this), "selectitem2");
    Selectallitems2 = entry(selectitem2, "Selectallitems2", tr("Select all items"));
    Deselectallitems2 = entry(selectitem2, "Deselectallitems2", tr("Deselect all items"));
}

} // namespace trelmig
