#include "MainWindowFixture.h"

#include "gui/AboutDialog.h"
#include "gui/DataFiles.h"
#include "gui/ProgressPanel.h"
#include "gui/Skin.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

QStringList comboItems(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QString enabledMask(const std::array<QCheckBox*, kItemCount>& boxes) {
    QString mask;
    for (QCheckBox* box : boxes)
        mask += box->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return mask;
}

// Text and shortcut of every visible entry of a menu, "—" for a separator.
QStringList entries(QMenu* menu) {
    QStringList list;
    for (QAction* a : menu->actions())
        if (a->isVisible())
            list << (a->isSeparator()
                         ? QStringLiteral("—")
                         : a->text() + (a->shortcut().isEmpty() ? QString()
                                                                : QStringLiteral(" [%1]").arg(
                                                                      a->shortcut().toString())));
    return list;
}

} // namespace

TEST_F(MainWindowTest, LoadListsTheProfilesInRegistryOrderAndOffersTheirItems) {
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quenvar Outlook Backup V2.60"));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(comboItems(child<QComboBox>("cbSource")), (QStringList{"Outlook", "Work"}));
    // The profiles, then a new one.
    EXPECT_EQ(comboItems(child<QComboBox>("cbTarget")),
              (QStringList{"Outlook", "Work", "New profile..."}));
    EXPECT_EQ(child<QComboBox>("cbSource")->currentText(), QStringLiteral("Outlook"));
    EXPECT_EQ(child<QComboBox>("cbTarget")->currentText(), QStringLiteral("Outlook"));

    // Outlook 2010 has no Personal Address Book; its box says so.
    EXPECT_EQ(enabledMask(itemBoxes(window.get(), "backupitem")), QStringLiteral("11110111"));
    EXPECT_EQ(itemBoxes(window.get(), "backupitem")[ItemAddressBook]->toolTip().toStdString().rfind(
                  kNoAddressBookToolTip, 0),
              0u);
    EXPECT_EQ(itemBoxes(window.get(), "backupitem")[ItemSignatures]->toolTip(),
              QStringLiteral("User defined signatures."));
    EXPECT_EQ(
        shownText(itemBoxes(window.get(), "backupitem")[ItemPersonalFolders]->text()),
        QStringLiteral("Personal Folders (Contacts, Tasks, Calendar, Notes and mail folders)"));
    // Nothing inspected yet: nothing to restore.
    EXPECT_EQ(enabledMask(itemBoxes(window.get(), "restoreitem")), QStringLiteral("00000000"));
    EXPECT_FALSE(window->inspected().accepted);

    EXPECT_EQ(child<QPushButton>("cmdApply")->text(), QStringLiteral("&Backup Now"));
    EXPECT_TRUE(child<QPushButton>("cmdApply")->isEnabled());
    EXPECT_FALSE(child<ProgressPanel>("picCon3")->isVisible());
    EXPECT_EQ(partOf<QProgressBar>(child<ProgressPanel>("picCon3"), "pbshow")->value(), 0);
    EXPECT_EQ(partOf<QLabel>(child<ProgressPanel>("picCon3"), "Label1")->text(),
              QStringLiteral("Please Waiting"));
    EXPECT_FALSE(child<QCheckBox>("ifprotect")->isChecked());
    EXPECT_FALSE(child<QLineEdit>("txtPassword")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>("txtPassword2")->isEnabled());
    EXPECT_EQ(child<QLineEdit>("Texttemp")->text(), QStringLiteral("Text1"));
    EXPECT_FALSE(child<QLineEdit>("Texttemp")->isVisible());
    // Controls carry their long-standing names.
    EXPECT_EQ(window->findChild<QCheckBox*>(QStringLiteral("backupitem(2)")),
              itemBoxes(window.get(), "backupitem")[2]);
    EXPECT_EQ(window->findChild<QCheckBox*>(QStringLiteral("restoreitem(7)")),
              itemBoxes(window.get(), "restoreitem")[7]);
}

// An Outlook that was never started has no profile: nothing to back up, but
// a backup can be restored into a new profile.
TEST_F(MainWindowTest, WithoutProfilesABackupCanOnlyGoIntoANewProfile) {
    open(nullptr, [](Environment& e) {
        e.reg.DeleteRegTree(kProfilesKey);
        ASSERT_FALSE(e.reg.RegKeyExists(kProfilesKey));
    });
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
    EXPECT_EQ(child<QComboBox>("cbSource")->count(), 0);
    EXPECT_EQ(comboItems(child<QComboBox>("cbTarget")), (QStringList{"New profile..."}));
    EXPECT_EQ(enabledMask(itemBoxes(window.get(), "backupitem")), QStringLiteral("00000000"));
    EXPECT_TRUE(child<QPushButton>("cmdApply")->isEnabled());
}

TEST_F(MainWindowTest, WithoutOutlookNorProfilesTheWindowSaysSoAndCannotBackUp) {
    // No profile and no Outlook registered: nothing tells which Outlook it is.
    fs::remove(prefix.driveC() / "Program Files/Microsoft Office/Office14/OUTLOOK.EXE");
    open(nullptr, [](Environment& e) {
        e.reg.DeleteRegTree(kProfilesKey);
        e.reg.DeleteRegTree("HKEY_LOCAL_MACHINE\\Software\\Classes\\Outlook.Application");
        e.reg.DeleteRegTree("HKEY_LOCAL_MACHINE\\Software\\Classes\\Outlook.Application.14");
        ASSERT_FALSE(e.reg.RegKeyExists(kProfilesKey));
    });
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "Your Windows System have not install MS Outlook or MS Outlook Error!");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(child<QPushButton>("cmdApply")->isEnabled());
    EXPECT_EQ(child<QComboBox>("cbSource")->count(), 0);
    EXPECT_EQ(child<QComboBox>("cbTarget")->count(), 0);
    // The menus stay usable.
    EXPECT_TRUE(child<QMenu>("menufile")->isEnabled());
    EXPECT_TRUE(child<QAction>("backupnow")->isEnabled());
    EXPECT_TRUE(child<QAction>("about")->isEnabled());
}

TEST_F(MainWindowTest, TheButtonCaptionFollowsTheTab) {
    open();
    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    EXPECT_EQ(child<QPushButton>("cmdApply")->text(), QStringLiteral("&Restore Now"));
    child<QTabWidget>("SSTab1")->setCurrentIndex(0);
    EXPECT_EQ(child<QPushButton>("cmdApply")->text(), QStringLiteral("&Backup Now"));
}

TEST_F(MainWindowTest, ChoosingAProfileClearsTheChecksAndLooksAgainForItsItems) {
    open();
    clickCheckBox(itemBoxes(window.get(), "backupitem")[ItemSignatures]);
    clickCheckBox(itemBoxes(window.get(), "backupitem")[ItemTemplates]);
    ASSERT_TRUE(itemBoxes(window.get(), "backupitem")[ItemSignatures]->isChecked());
    // The signatures go away while the window is open.
    fs::remove_all(prefix.userFolder() / "AppData/Roaming/Microsoft/Signatures");
    child<QComboBox>("cbSource")->setCurrentIndex(1);
    EXPECT_FALSE(itemBoxes(window.get(), "backupitem")[ItemSignatures]->isChecked());
    EXPECT_FALSE(itemBoxes(window.get(), "backupitem")[ItemTemplates]->isChecked());
    EXPECT_FALSE(itemBoxes(window.get(), "backupitem")[ItemSignatures]->isEnabled());
    EXPECT_TRUE(itemBoxes(window.get(), "backupitem")[ItemTemplates]->isEnabled());
    // The tool tip tells why the item cannot be chosen.
    EXPECT_TRUE(itemBoxes(window.get(), "backupitem")[ItemSignatures]->toolTip().contains(
        QStringLiteral("Not available")));
}

TEST_F(MainWindowTest, MenusComeInOrderWithTheirShortcuts) {
    open();
    QStringList bar;
    for (QAction* a : window->menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, (QStringList{"&File", "&Options", "&Tools", "&Help"}));
    EXPECT_EQ(entries(child<QMenu>("menufile")),
              (QStringList{"&Backup Now [Ctrl+B]", "&Restore Now [Ctrl+R]",
                           "&Open Wine Prefix... [Ctrl+O]", "Open Windows User Folder...",
                           "&Undo Last Restore...", "—", "&Quit [Ctrl+Q]"}));
    // Entries without an action are gone, with their separators.
    EXPECT_EQ(entries(child<QMenu>("menuoption")).value(0), QStringLiteral("Task &Scheduler"));
    EXPECT_TRUE(child<QAction>("askdisc")->isCheckable());
    EXPECT_EQ(entries(child<QMenu>("Tools")), (QStringList{"Backup Data to &CD/DVD"}));
    for (QAction* idle :
         {child<QAction>("checkupdate"), child<QMenu>("iebackupandrestore")->menuAction()})
        EXPECT_FALSE(idle->isVisible() || idle->isEnabled());
    // Ctrl+A and Ctrl+W keep their desktop meanings (select all, close).
    EXPECT_EQ(entries(child<QMenu>("menuhelp")), (QStringList{"&Help [F1]", "—", "&About"}));
    for (QAction* action : window->findChildren<QAction*>())
        for (const QKeySequence& keys :
             {QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::CTRL | Qt::Key_W),
              QKeySequence(Qt::CTRL | Qt::Key_U)})
            EXPECT_TRUE(!action->shortcuts().contains(keys) ||
                        (action->shortcutContext() == Qt::WidgetWithChildrenShortcut &&
                         (action == child<QAction>("Selectallitems") ||
                          action == child<QAction>("Selectallitems2"))))
                << action->text().toStdString() << " " << keys.toString().toStdString();
    EXPECT_EQ(entries(child<QMenu>("selectitem")),
              (QStringList{"&Select all items [Ctrl+A]", "&Deselect all items"}));
    EXPECT_EQ(entries(child<QMenu>("selectitem2")),
              (QStringList{"&Select all items [Ctrl+A]", "&Deselect all items"}));
    EXPECT_FALSE(child<QMenu>("selectitem")->isVisible());
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(openedUrls.empty());
}

// Ctrl+A selects all in the item panel that has the focus, and only there.
TEST_F(MainWindowTest, CtrlASelectsAllItemsOfThePanelWithTheFocus) {
    open();
    window->show();
    QApplication::setActiveWindow(window.get());
    for (QCheckBox* box : itemBoxes(window.get(), "backupitem"))
        box->setChecked(false);
    for (QCheckBox* box : itemBoxes(window.get(), "restoreitem"))
        box->setChecked(false);
    itemBoxes(window.get(), "backupitem")[ItemAccounts]->setFocus();
    QTest::keyClick(itemBoxes(window.get(), "backupitem")[ItemAccounts], Qt::Key_A,
                    Qt::ControlModifier);
    for (QCheckBox* box : itemBoxes(window.get(), "backupitem"))
        EXPECT_EQ(box->isChecked(), box->isEnabled()) << box->text().toStdString();
    for (QCheckBox* box : itemBoxes(window.get(), "restoreitem"))
        EXPECT_FALSE(box->isChecked()) << box->text().toStdString();

    // Anywhere else on the tab too, but a text box keeps Ctrl+A for its text.
    for (QCheckBox* box : itemBoxes(window.get(), "backupitem"))
        box->setChecked(false);
    auto* description = child<QPlainTextEdit>("txtAttachInfo");
    description->setPlainText(QStringLiteral("weekly"));
    description->setFocus();
    QTest::keyClick(description, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(description->textCursor().selectedText(), QStringLiteral("weekly"));
    EXPECT_FALSE(itemBoxes(window.get(), "backupitem")[ItemAccounts]->isChecked());
    auto* profile = child<QComboBox>("cbSource");
    profile->setFocus();
    QTest::keyClick(profile, Qt::Key_A, Qt::ControlModifier);
    for (QCheckBox* box : itemBoxes(window.get(), "backupitem"))
        EXPECT_EQ(box->isChecked(), box->isEnabled()) << box->text().toStdString();
}

// The menu key on a box of an item panel opens the panel's pop-up menu,
// whose Select All the keyboard reaches.
TEST_F(MainWindowTest, TheMenuKeyOpensThePanelsPopUpMenu) {
    open();
    window->show();
    QApplication::setActiveWindow(window.get());
    QCheckBox* box = itemBoxes(window.get(), "backupitem")[ItemTemplates];
    box->setFocus();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(2, 2),
                          box->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(box, &key);
    auto* menu = child<QMenu>("selectitem");
    ASSERT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->actions().contains(child<QAction>("Selectallitems")));
    menu->hide();
    EXPECT_FALSE(child<QMenu>("selectitem2")->isVisible());
}

TEST_F(MainWindowTest, OtherWindowsOpenThroughTheirHooks) {
    open();
    int disc = 0, schedule = 0;
    window->showDiscWindow = [&](const std::string&) { ++disc; };
    window->showScheduleWindow = [&] { ++schedule; };
    child<QAction>("backuptocd")->trigger();
    child<QAction>("TaskScheduler")->trigger();
    EXPECT_EQ(disc, 1);
    EXPECT_EQ(schedule, 1);
}

TEST_F(MainWindowTest, HelpOpensInTheDesktopBrowserAndNoWebSiteIsOffered) {
    open();
    child<QAction>("helpfile")->trigger();
    // There is no web site of the maker: the entry is not in the menu.
    EXPECT_FALSE(child<QAction>("ourwebsite")->isVisible());
    ASSERT_EQ(openedUrls.size(), 1u);
    EXPECT_TRUE(openedUrls[0].isLocalFile());
    EXPECT_TRUE(openedUrls[0].toLocalFile().endsWith(QStringLiteral("help/index.html")));
    EXPECT_TRUE(fs::is_regular_file(openedUrls[0].toLocalFile().toStdString()));
}

TEST_F(MainWindowTest, QuitClosesTheWindowsAndEndsTheProgram) {
    open();
    QWidget other;
    other.show();
    child<QAction>("filequit")->trigger();
    EXPECT_EQ(endProgramCalls, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(other.isVisible());
}

TEST_F(MainWindowTest, ClosingTheWindowIsQuit) {
    open();
    window->close();
    EXPECT_EQ(endProgramCalls, 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, LabelsAndButtonsOfEachTabHaveTheirOwnMnemonics) {
    open();
    for (int tab = 0; tab < 2; ++tab) {
        child<QTabWidget>("SSTab1")->setCurrentIndex(tab);
        EXPECT_EQ(mnemonicProblems(window.get()), QStringList()) << "tab " << tab;
    }
    EXPECT_EQ(shownText(child<QPushButton>("cmdSourceFile")->text()), QStringLiteral("Browse..."));
}

// The skin reaches the controls only through their object names: a name its
// rules select that no control carries any more silently drops the rule.
TEST_F(MainWindowTest, EveryObjectNameTheSkinSelectsNamesAControl) {
    open();
    AboutDialog about;
    QString sheet = LoadSkin(FindDataFile(QString::fromLatin1(kSkinFile)));
    ASSERT_FALSE(sheet.isEmpty());
    sheet.remove(QRegularExpression(QStringLiteral(R"(/\*.*?\*/)"),
                                    QRegularExpression::DotMatchesEverythingOption));
    // Declarations hold colours, which look like names.
    sheet.remove(QRegularExpression(QStringLiteral(R"(\{[^}]*\})")));
    QStringList names;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(QStringLiteral(R"(#(\w+))")).globalMatch(sheet))
        names << m.captured(1);
    ASSERT_GE(names.size(), 5);
    const QObject* windows[] = {window.get(), &about};
    for (const QString& name : names) {
        bool found = false;
        for (const QObject* w : windows)
            found = found || w->objectName() == name || w->findChild<QObject*>(name);
        EXPECT_TRUE(found) << name.toStdString();
    }
}
