#include "MainWindowFixture.h"

#include "gui/BackupFileName.h"

#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

QString checkedMask(const std::array<QCheckBox*, kItemCount>& boxes) {
    QString mask;
    for (QCheckBox* box : boxes)
        mask += box->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    return mask;
}

void rightClick(QWidget* frame) {
    const QPoint inside(frame->width() - 4, frame->height() - 4);
    sendMouse(frame, QEvent::MouseButtonPress, inside, Qt::RightButton);
    sendMouse(frame, QEvent::MouseButtonRelease, inside, Qt::RightButton);
}

} // namespace

TEST_F(MainWindowTest, SelectAllFromThePopUpSkipsDisabledItems) {
    fs::remove_all(prefix.userFolder() / "AppData/Roaming/Microsoft/Signatures");
    open();
    ASSERT_FALSE(itemBoxes(window.get(), "backupitem")[ItemSignatures]->isEnabled());

    // A left press on the frame does nothing; a right press pops up the menu.
    sendMouse(child<QGroupBox>("Frame6"), QEvent::MouseButtonPress, QPoint(4, 4), Qt::LeftButton);
    EXPECT_FALSE(child<QMenu>("selectitem")->isVisible());
    rightClick(child<QGroupBox>("Frame6"));
    ASSERT_TRUE(child<QMenu>("selectitem")->isVisible());
    child<QAction>("Selectallitems")->trigger();
    child<QMenu>("selectitem")->hide();
    // Signatures and the address book (not in Outlook 2010) stay clear.
    EXPECT_EQ(checkedMask(itemBoxes(window.get(), "backupitem")), QStringLiteral("11010111"));

    // A disabled box cannot be clicked on either.
    clickCheckBox(itemBoxes(window.get(), "backupitem")[ItemSignatures]);
    EXPECT_FALSE(itemBoxes(window.get(), "backupitem")[ItemSignatures]->isChecked());

    child<QAction>("Deselectallitems")->trigger();
    EXPECT_EQ(checkedMask(itemBoxes(window.get(), "backupitem")), QStringLiteral("00000000"));
}

TEST_F(MainWindowTest, TheRestorePanelHasItsOwnPopUp) {
    open();
    rightClick(child<QGroupBox>("Frame7"));
    ASSERT_TRUE(child<QMenu>("selectitem2")->isVisible());
    child<QMenu>("selectitem2")->hide();
    EXPECT_FALSE(child<QMenu>("selectitem")->isVisible());
    // Nothing inspected: every restore box is disabled, so nothing is checked.
    child<QAction>("Selectallitems2")->trigger();
    EXPECT_EQ(checkedMask(itemBoxes(window.get(), "restoreitem")), QStringLiteral("00000000"));
}

TEST_F(MainWindowTest, ProtectionTogglingEmptiesBothPasswordBoxes) {
    open();
    clickCheckBox(child<QCheckBox>("ifprotect"));
    ASSERT_TRUE(child<QCheckBox>("ifprotect")->isChecked());
    EXPECT_TRUE(child<QLineEdit>("txtPassword")->isEnabled());
    EXPECT_TRUE(child<QLineEdit>("txtPassword2")->isEnabled());
    const QColor typeable = child<QLineEdit>("txtPassword")->palette().color(QPalette::Base);
    typeText(child<QLineEdit>("txtPassword"), QStringLiteral("secret"));
    typeText(child<QLineEdit>("txtPassword2"), QStringLiteral("secret"));
    EXPECT_EQ(child<QLineEdit>("txtPassword")->text(), QStringLiteral("secret"));
    EXPECT_EQ(child<QLineEdit>("txtPassword")->displayText(), QStringLiteral("******"));

    clickCheckBox(child<QCheckBox>("ifprotect"));
    EXPECT_FALSE(child<QLineEdit>("txtPassword")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>("txtPassword2")->isEnabled());
    EXPECT_TRUE(child<QLineEdit>("txtPassword")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("txtPassword2")->text().isEmpty());
    EXPECT_NE(child<QLineEdit>("txtPassword")->palette().color(QPalette::Base), typeable);

    typeText(child<QLineEdit>("txtPassword"),
             QStringLiteral("x")); // disabled: ignored
    clickCheckBox(child<QCheckBox>("ifprotect"));
    EXPECT_TRUE(child<QLineEdit>("txtPassword")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("txtPassword2")->text().isEmpty());
    EXPECT_EQ(child<QLineEdit>("txtPassword")->palette().color(QPalette::Base), typeable);
}

TEST(ProposedBackupName, IsTheProfileMadeSafeAndTheIsoDate) {
    EXPECT_EQ(ProposedBackupName(QStringLiteral("Outlook"), QDate(2026, 12, 9)),
              QStringLiteral("outlook-2026-12-09.kvx"));
    EXPECT_EQ(ProposedBackupName(QStringLiteral(" Büro / Sam's Mail: 2 "), QDate(2031, 1, 30)),
              QStringLiteral("büro-sam-s-mail-2-2031-01-30.kvx"));
    EXPECT_EQ(ProposedBackupName(QStringLiteral("../*?"), QDate(2031, 1, 30)),
              QStringLiteral("outlook-2031-01-30.kvx"));
}

TEST_F(MainWindowTest, TheTargetFileDialogProposesTodaysNameAndACancelForgetsTheChoice) {
    open();
    nextFile = QString::fromStdString((prefix.work.path() / "mine.kvx").string());
    child<QPushButton>("cmdTargetFile")->click();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].dialogName, QStringLiteral("cdTarget"));
    EXPECT_EQ(dialogs[0].title, QStringLiteral("Save Outlook Data as"));
    EXPECT_EQ(dialogs[0].filter, QStringLiteral("Quenvar Outlook Backup File (*.kvx)"));
    EXPECT_EQ(dialogs[0].proposedName,
              QStringLiteral("outlook-%1.kvx").arg(QDate::currentDate().toString(Qt::ISODate)));
    EXPECT_TRUE(dialogs[0].save);
    EXPECT_EQ(child<QLineEdit>("txtTargetFile")->text(), nextFile);
    EXPECT_EQ(window->targetFile(), nextFile.toStdString());

    nextFile.clear();
    child<QPushButton>("cmdTargetFile")->click();
    EXPECT_TRUE(child<QLineEdit>("txtTargetFile")->text().isEmpty());
    EXPECT_TRUE(window->targetFile().empty());
    // So the next backup has no file to write.
    itemBoxes(window.get(), "backupitem")[ItemTemplates]->setChecked(true);
    child<QPushButton>("cmdApply")->click();
    finishRun();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Please choose a backup file name.");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
}

TEST_F(MainWindowTest, TheRealSaveDialogCarriesTitleFilterAndProposedName) {
    realDialogs = true;
    open();
    const QString target = QString::fromStdString((prefix.work.path() / "chosen").string());
    QString title, proposed, filter;
    ModalAnswerer answer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return false;
        title = dialog->windowTitle();
        filter = dialog->nameFilters().join(QLatin1Char(';'));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name)
            proposed = name->text();
        dialog->selectFile(target);
        // A dialog whose folder is still loading may keep its proposed name.
        if (name)
            name->setText(target);
        static_cast<QDialog*>(dialog)->accept();
        return true;
    });
    child<QPushButton>("cmdTargetFile")->click();
    EXPECT_EQ(title, QStringLiteral("Save Outlook Data as"));
    EXPECT_EQ(filter, QStringLiteral("Quenvar Outlook Backup File (*.kvx)"));
    EXPECT_EQ(proposed,
              QStringLiteral("outlook-%1.kvx").arg(QDate::currentDate().toString(Qt::ISODate)));
    // The backup file gets its extension, so that the open dialog lists it.
    EXPECT_EQ(child<QLineEdit>("txtTargetFile")->text(), target + QStringLiteral(".kvx"));
}

TEST_F(MainWindowTest, RestoreWithNoBackupFileChosenSaysOneIsNeeded) {
    open();
    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    prompter.answer = MessageAnswer::Ok;
    // Nothing to confirm and no "Invalid backup file.": the file is missing.
    child<QPushButton>("cmdApply")->click();
    finishRun();
    child<QAction>("restorenow")->trigger();
    finishRun();
    ASSERT_EQ(prompter.messages.size(), 2u);
    for (const auto& message : prompter.messages) {
        EXPECT_EQ(message.text, "Please choose the backup file to restore from.");
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
    }
}

TEST_F(MainWindowTest, BackupNowFromTheMenuRunsTheBackupOnAnyTab) {
    open();
    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    child<QAction>("backupnow")->trigger();
    finishRun();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Please choose a backup file name.");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
}

// The schedule window starts from what the main window shows: its profile,
// the items ticked there and the backup file chosen there.
TEST_F(MainWindowTest, TheScheduleWindowStartsWithTheMainWindowsChoices) {
    open();
    auto* profiles = child<QComboBox>("cbSource");
    ASSERT_GT(profiles->count(), 1);
    profiles->setCurrentIndex(profiles->count() - 1);
    const auto boxes = itemBoxes(window.get(), "backupitem");
    for (QCheckBox* box : boxes)
        box->setChecked(false);
    boxes[ItemPersonalFolders]->setChecked(true);
    nextFile = QString::fromStdString((prefix.work.path() / "weekly.kvx").string());
    child<QPushButton>("cmdTargetFile")->click();

    QString profile, file;
    QStringList ticked;
    ModalAnswerer look([&](QWidget* modal) {
        if (modal->objectName() != QStringLiteral("Frmoption"))
            return false;
        profile = control<QComboBox>(modal, "cbSource")->currentText();
        file = control<QLineEdit>(modal, "txtTargetFile")->text();
        for (int i = 0; i < kItemCount; ++i)
            if (control<QCheckBox>(modal, QStringLiteral("backupitem%1").arg(i))->isChecked())
                ticked << QString::number(i);
        static_cast<QDialog*>(modal)->reject();
        return true;
    });
    child<QAction>("TaskScheduler")->trigger();
    EXPECT_EQ(profile, profiles->currentText());
    EXPECT_EQ(ticked, QStringList{QString::number(ItemPersonalFolders)});
    EXPECT_EQ(file, nextFile);
}

TEST_F(MainWindowTest, TheRestoreTabsGroupsAreTitledByWhatTheyHold) {
    open();
    auto* from = child<QGroupBox>("Frame3");
    auto* into = child<QGroupBox>("Frame4");
    EXPECT_EQ(from->title(), QStringLiteral("Restore from"));
    EXPECT_TRUE(from->isAncestorOf(child<QLineEdit>("txtSourceFile")));
    EXPECT_EQ(into->title(), QStringLiteral("Restore into"));
    EXPECT_TRUE(into->isAncestorOf(child<QComboBox>("cbTarget")));
}
