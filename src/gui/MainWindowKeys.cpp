// The main window's keys as the desktop uses them: mnemonics on labels,
// buttons and menu entries; Ctrl+A selects all and Ctrl+W closes elsewhere,
// so neither opens a window here; menu entries without an action are hidden.
#include "gui/MainWindow.h"

#include "gui/Mnemonics.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

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
    const std::pair<QWidget*, QChar> labels[] = {
        {sourceProfileBox_, QLatin1Char('P')}, {descriptionEdit_, QLatin1Char('D')},
        {targetFileButton_, QLatin1Char('C')}, {passwordEdit_, QLatin1Char('a')},
        {retypeEdit_, QLatin1Char('y')},       {sourceFileButton_, QLatin1Char('C')},
        {backupFactsText_, QLatin1Char('D')},  {targetProfileBox_, QLatin1Char('p')},
    };
    for (QLabel* label : findChildren<QLabel*>())
        for (const auto& [buddy, letter] : labels)
            if (label->buddy() == buddy)
                SetMnemonic(label, letter);
    SetMnemonic(protectBox_, QLatin1Char('s'));
    SetMnemonic(targetFileButton_, QLatin1Char('w'));
    SetMnemonic(sourceFileButton_, QLatin1Char('w'));
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
    SetMnemonic(selectAllBackupItemsAction_, QLatin1Char('S'));
    SetMnemonic(deselectAllBackupItemsAction_, QLatin1Char('D'));
    SetMnemonic(selectAllRestoreItemsAction_, QLatin1Char('S'));
    // Ctrl+A on a tab selects all its items, as it selects all in a list,
    // wherever the focus is on it; a text box keeps Ctrl+A for its text.
    for (auto [tab, selectAll] :
         {std::pair{0, selectAllBackupItemsAction_}, {1, selectAllRestoreItemsAction_}}) {
        selectAll->setShortcut(QKeySequence::SelectAll);
        selectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        tabs_->widget(tab)->addAction(selectAll);
    }
    SetMnemonic(deselectAllRestoreItemsAction_, QLatin1Char('D'));
    giveItemMnemonics();
    nameInputs();
}

void MainWindow::giveItemMnemonics() {
    // Letters no label, button or menu of either tab uses.
    const QChar letters[kItemCount] = {QLatin1Char('l'), QLatin1Char('g'), QLatin1Char('i'),
                                       QLatin1Char('e'), QLatin1Char('k'), QLatin1Char('n'),
                                       QLatin1Char('m'), QLatin1Char('z')};
    for (int i = 0; i < kItemCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        SetMnemonic(backupItemBoxes_[at], letters[i]);
        SetMnemonic(restoreItemBoxes_[at], letters[i]);
    }
}

void MainWindow::nameInputs() {
    // What a screen reader says for each box: its own label, not its frame's.
    const std::pair<QWidget*, QString> names[] = {
        {sourceProfileBox_, tr("Profile to backup")},
        {descriptionEdit_, tr("Description")},
        {targetFileEdit_, tr("Backup file")},
        {passwordEdit_, tr("Password")},
        {retypeEdit_, tr("Retype Password")},
        {sourceFileEdit_, tr("Backup file to restore from")},
        {backupFactsText_, tr("Backup file information")},
        {backupDescriptionText_, tr("Description of the backup file")},
        {targetProfileBox_, tr("Restore to profile")},
    };
    for (const auto& [input, name] : names)
        input->setAccessibleName(name);
}

} // namespace trelmig
