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
        {cbSource, QLatin1Char('P')},      {txtAttachInfo, QLatin1Char('D')},
        {cmdTargetFile, QLatin1Char('C')}, {txtPassword, QLatin1Char('a')},
        {txtPassword2, QLatin1Char('y')},  {cmdSourceFile, QLatin1Char('C')},
        {txtPOBinfo, QLatin1Char('D')},    {cbTarget, QLatin1Char('p')},
    };
    for (QLabel* label : findChildren<QLabel*>())
        for (const auto& [buddy, letter] : labels)
            if (label->buddy() == buddy)
                SetMnemonic(label, letter);
    SetMnemonic(ifprotect, QLatin1Char('s'));
    SetMnemonic(cmdTargetFile, QLatin1Char('w'));
    SetMnemonic(cmdSourceFile, QLatin1Char('w'));
    SetMnemonic(cmdQuit, QLatin1Char('Q'));
    SetMnemonic(cmdAbout, QLatin1Char('u'));
    // cmdApply carries its mnemonic in its two captions.

    Tools->setTitle(WithMnemonic(Tools->title(), QLatin1Char('T')));
    SetMnemonic(backupnow, QLatin1Char('B'));
    SetMnemonic(restorenow, QLatin1Char('R'));
    SetMnemonic(openprefix, QLatin1Char('O'));
    SetMnemonic(undorestore, QLatin1Char('U'));
    SetMnemonic(filequit, QLatin1Char('Q'));
    SetMnemonic(TaskScheduler, QLatin1Char('S'));
    SetMnemonic(backuptocd, QLatin1Char('C'));
    SetMnemonic(helpfile, QLatin1Char('H'));
    helpfile->setShortcut(QKeySequence::HelpContents);
    // The maker has no web site to open: no entry sends the user nowhere.
    hideEntry(menuhelp, ourwebsite, "helpfg2");
    SetMnemonic(about, QLatin1Char('A'));
    about->setShortcut({});
    hideEntry(menuoption, checkupdate, "fg54");
    hideEntry(Tools, iebackupandrestore->menuAction(), "fg23");
    SetMnemonic(Selectallitems, QLatin1Char('S'));
    SetMnemonic(Deselectallitems, QLatin1Char('D'));
    SetMnemonic(Selectallitems2, QLatin1Char('S'));
    // Ctrl+A on a tab selects all its items, as it selects all in a list,
    // wherever the focus is on it; a text box keeps Ctrl+A for its text.
    for (auto [tab, selectAll] : {std::pair{0, Selectallitems}, {1, Selectallitems2}}) {
        selectAll->setShortcut(QKeySequence::SelectAll);
        selectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        SSTab1->widget(tab)->addAction(selectAll);
    }
    SetMnemonic(Deselectallitems2, QLatin1Char('D'));
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
        SetMnemonic(backupitem[at], letters[i]);
        SetMnemonic(restoreitem[at], letters[i]);
    }
}

void MainWindow::nameInputs() {
    // What a screen reader says for each box: its own label, not its frame's.
    const std::pair<QWidget*, QString> names[] = {
        {cbSource, tr("Profile to backup")},
        {txtAttachInfo, tr("Description")},
        {txtTargetFile, tr("Backup file")},
        {txtPassword, tr("Password")},
        {txtPassword2, tr("Retype Password")},
        {txtSourceFile, tr("Backup file to restore from")},
        {txtPOBinfo, tr("Backup file information")},
        {txtFileInfo, tr("Description of the backup file")},
        {cbTarget, tr("Restore to profile")},
    };
    for (const auto& [input, name] : names)
        input->setAccessibleName(name);
}

} // namespace trelmig
