// The main window's keys as the desktop uses them: mnemonics on buttons and
// menu entries; Ctrl+A selects all and Ctrl+W closes elsewhere, so neither
// opens a window here; menu entries without an action are hidden. Each tab
// gives the keys of its own controls.
#include "gui/MainWindow.h"

#include "gui/BackupTab.h"
#include "gui/Mnemonics.h"
#include "gui/RestoreTab.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include <utility>

namespace trelmig {

namespace {

void hideEntry(QMenu* menu, QAction* entry, const char* separatorName) {
    entry->setVisible(false);
    entry->setEnabled(false);
    entry->setShortcut({});
    for (QAction* a : menu->actions())
        if (a->isSeparator() && a->objectName() == QLatin1String(separatorName))
            a->setVisible(false);
}

} // namespace

void MainWindow::giveDesktopKeys() {
    SetMnemonic(quitButton_, QLatin1Char('Q'));
    SetMnemonic(aboutButton_, QLatin1Char('u'));
    // The action button carries its mnemonic in its two captions.

    toolsMenu_->setTitle(WithMnemonic(toolsMenu_->title(), QLatin1Char('T')));
    SetMnemonic(backupNowAction_, QLatin1Char('B'));
    SetMnemonic(restoreNowAction_, QLatin1Char('R'));
    SetMnemonic(openPrefixAction_, QLatin1Char('O'));
    SetMnemonic(undoRestoreAction_, QLatin1Char('U'));
    SetMnemonic(quitAction_, QLatin1Char('Q'));
    SetMnemonic(scheduleAction_, QLatin1Char('S'));
    SetMnemonic(backupToDiscAction_, QLatin1Char('C'));
    SetMnemonic(helpAction_, QLatin1Char('H'));
    helpAction_->setShortcut(QKeySequence::HelpContents);
    // The maker has no web site to open: no entry sends the user nowhere.
    hideEntry(helpMenu_, websiteAction_, "helpfg2");
    SetMnemonic(aboutAction_, QLatin1Char('A'));
    aboutAction_->setShortcut({});
    hideEntry(optionsMenu_, checkUpdateAction_, "fg54");
    hideEntry(toolsMenu_, favoritesMenu_->menuAction(), "fg23");
    // Ctrl+A on a tab selects all its items, as it selects all in a list,
    // wherever the focus is on it; a text box keeps Ctrl+A for its text.
    for (auto [tab, selectAll] :
         {std::pair{0, backupTab_->selectAllAction()}, {1, restoreTab_->selectAllAction()}}) {
        selectAll->setShortcut(QKeySequence::SelectAll);
        selectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        tabs_->widget(tab)->addAction(selectAll);
    }
}

} // namespace trelmig
