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

    tabs_ = named(new QTabWidget, "SSTab1");
    tabs_->addTab(Scrolling(buildBackupTab()), tr("Backup"));
    tabs_->addTab(Scrolling(buildRestoreTab()), tr("Restore"));
    column->addWidget(tabs_, 1);
    column->addWidget(new LastBackupLine(kStaleBackupDays, central));
    column->addWidget(buildBottomBar());

    // The auxiliary text box that names pass through; never shown.
    scratchEdit_ = named(new QLineEdit(QStringLiteral("Text1"), central), "Texttemp");
    scratchEdit_->hide();

    setCentralWidget(central);
    buildMenus();
}

QWidget* MainWindow::buildBackupTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabBackup"));
    auto* row = new QHBoxLayout(page);

    backupWhatBox_ = named(new QGroupBox(tr("What")), "Frame1");
    auto* what = new QVBoxLayout(backupWhatBox_);
    sourceProfileBox_ = profileBox("cbSource");
    what->addWidget(caption(tr("Profile to backup"), sourceProfileBox_));
    what->addWidget(sourceProfileBox_);
    backupItemsBox_ = named(new QGroupBox(tr("Items to backup")), "Frame6");
    auto* items = new QVBoxLayout(backupItemsBox_);
    for (int i = 0; i < kItemCount; ++i) {
        const CatalogueItem& item = itemCatalogue()[static_cast<std::size_t>(i)];
        auto* box = new QCheckBox(ItemText(item.caption));
        box->setObjectName(itemObjectName("backupitem", i));
        box->setToolTip(ItemText(item.backupToolTip));
        backupItemBoxes_[static_cast<std::size_t>(i)] = box;
        items->addWidget(box);
    }
    items->addStretch(1);
    what->addWidget(backupItemsBox_, 1);
    keepVersionsBox_ = new KeepVersionsBox;
    what->addWidget(keepVersionsBox_);
    row->addWidget(backupWhatBox_, 1);

    backupWhereBox_ = named(new QGroupBox(tr("Where")), "Frame2");
    auto* where = new QVBoxLayout(backupWhereBox_);
    descriptionEdit_ = named(new QPlainTextEdit, "txtAttachInfo");
    descriptionEdit_->setTabChangesFocus(true);
    descriptionEdit_->setPlaceholderText(tr("A note stored with the backup"));
    where->addWidget(caption(tr("Description"), descriptionEdit_));
    where->addWidget(descriptionEdit_, 1);
    targetFileEdit_ = named(new QLineEdit, "txtTargetFile");
    // The backup file is chosen with "Browse...", which also asks before
    // overwriting; typing a name here would bypass that.
    targetFileEdit_->setReadOnly(true);
    targetFileButton_ = named(new QPushButton(tr("Browse...")), "cmdTargetFile");
    where->addWidget(caption(tr("Choose a backup filename"), targetFileButton_));
    auto* target = new QHBoxLayout;
    target->addWidget(targetFileEdit_, 1);
    target->addWidget(targetFileButton_);
    where->addLayout(target);

    securityBox_ = named(new QGroupBox(tr("Security")), "Frame5");
    auto* security = new QGridLayout(securityBox_);
    protectBox_ = named(new QCheckBox(tr("Protect backup file with password")), "ifprotect");
    passwordEdit_ = passwordBox("txtPassword");
    retypeEdit_ = passwordBox("txtPassword2");
    security->addWidget(protectBox_, 0, 0, 1, 2);
    security->addWidget(caption(tr("Password:"), passwordEdit_), 1, 0);
    security->addWidget(passwordEdit_, 1, 1);
    security->addWidget(caption(tr("Retype Password:"), retypeEdit_), 2, 0);
    security->addWidget(retypeEdit_, 2, 1);
    security->setColumnStretch(1, 1);
    where->addWidget(securityBox_);
    row->addWidget(backupWhereBox_, 1);
    return page;
}

QWidget* MainWindow::buildRestoreTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabRestore"));
    auto* row = new QHBoxLayout(page);

    restoreFromBox_ = named(new QGroupBox(tr("Restore from")), "Frame3");
    auto* where = new QVBoxLayout(restoreFromBox_);
    sourceFileEdit_ = named(new QLineEdit, "txtSourceFile");
    sourceFileEdit_->setReadOnly(true);
    sourceFileButton_ = named(new QPushButton(tr("Browse...")), "cmdSourceFile");
    where->addWidget(caption(tr("Choose a Backup File to Restore From"), sourceFileButton_));
    auto* source = new QHBoxLayout;
    source->addWidget(sourceFileEdit_, 1);
    source->addWidget(sourceFileButton_);
    where->addLayout(source);
    versionsList_ = new BackupVersionsList;
    where->addWidget(versionsList_);
    backupFactsText_ = infoBox("txtPOBinfo", 5);
    backupFactsText_->setMaximumHeight(backupFactsText_->minimumHeight() + 8);
    backupDescriptionText_ = infoBox("txtFileInfo", 3);
    where->addWidget(caption(tr("Description"), backupFactsText_));
    where->addWidget(backupFactsText_);
    where->addWidget(backupDescriptionText_, 1);
    row->addWidget(restoreFromBox_, 1);

    restoreIntoBox_ = named(new QGroupBox(tr("Restore into")), "Frame4");
    auto* what = new QVBoxLayout(restoreIntoBox_);
    targetProfileBox_ = profileBox("cbTarget");
    what->addWidget(caption(tr("Restore to profile"), targetProfileBox_));
    what->addWidget(targetProfileBox_);
    restoreItemsBox_ = named(new QGroupBox(tr("Items to restore")), "Frame7");
    auto* items = new QVBoxLayout(restoreItemsBox_);
    for (int i = 0; i < kItemCount; ++i) {
        const CatalogueItem& item = itemCatalogue()[static_cast<std::size_t>(i)];
        auto* box = new QCheckBox(ItemText(item.caption));
        box->setObjectName(itemObjectName("restoreitem", i));
        box->setToolTip(ItemText(item.restoreToolTip));
        // Enabled by the inspection of a backup file that holds the item.
        box->setEnabled(false);
        restoreItemBoxes_[static_cast<std::size_t>(i)] = box;
        items->addWidget(box);
    }
    items->addStretch(1);
    what->addWidget(restoreItemsBox_, 1);
    row->addWidget(restoreIntoBox_, 1);
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

    // Pop-up menus of the item panels; they have no place in the menu bar.
    backupItemsMenu_ = named(new QMenu(this), "selectitem");
    selectAllBackupItemsAction_ = entry(backupItemsMenu_, "Selectallitems", tr("Select all items"));
    deselectAllBackupItemsAction_ =
        entry(backupItemsMenu_, "Deselectallitems", tr("Deselect all items"));
    restoreItemsMenu_ = named(new QMenu(this), "selectitem2");
    selectAllRestoreItemsAction_ =
        entry(restoreItemsMenu_, "Selectallitems2", tr("Select all items"));
    deselectAllRestoreItemsAction_ =
        entry(restoreItemsMenu_, "Deselectallitems2", tr("Deselect all items"));
}

} // namespace trelmig
