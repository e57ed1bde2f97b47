#include "MainWindowFixture.h"

#include <QComboBox>
#include <QDate>
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
    sendMouse(control<QGroupBox>(window.get(), "Frame6"), QEvent::MouseButtonPress, QPoint(4, 4),
              Qt::LeftButton);
    EXPECT_FALSE(control<QMenu>(window.get(), "selectitem")->isVisible());
    rightClick(control<QGroupBox>(window.get(), "Frame6"));
    ASSERT_TRUE(control<QMenu>(window.get(), "selectitem")->isVisible());
    control<QAction>(window.get(), "Selectallitems")->trigger();
    control<QMenu>(window.get(), "selectitem")->hide();
    // Signatures and the address book (not in Outlook 2010) stay clear.
    EXPECT_EQ(checkedMask(itemBoxes(window.get(), "backupitem")), QStringLiteral("11010111"));

    // A disabled box cannot be clicked on either.
    clickCheckBox(itemBoxes(window.get(), "backupitem")[ItemSignatures]);
    EXPECT_FALSE(itemBoxes(window.get(), "backupitem")[ItemSignatures]->isChecked());

    control<QAction>(window.get(), "Deselectallitems")->trigger();
    EXPECT_EQ(checkedMask(itemBoxes(window.get(), "backupitem")), QStringLiteral("00000000"));
}

TEST_F(MainWindowTest, TheRestorePanelHasItsOwnPopUp) {
    open();
    rightClick(control<QGroupBox>(window.get(), "Frame7"));
    ASSERT_TRUE(control<QMenu>(window.get(), "selectitem2")->isVisible());
    control<QMenu>(window.get(), "selectitem2")->hide();
    EXPECT_FALSE(control<QMenu>(window.get(), "selectitem")->isVisible());
    // Nothing inspected: every restore box is disabled, so nothing is checked.
    control<QAction>(window.get(), "Selectallitems2")->trigger();
    EXPECT_EQ(checkedMask(itemBoxes(window.get(), "restoreitem")), QStringLiteral("00000000"));
}

TEST_F(MainWindowTest, ProtectionTogglingEmptiesBothPasswordBoxes) {
    open();
    clickCheckBox(control<QCheckBox>(window.get(), "ifprotect"));
    ASSERT_TRUE(control<QCheckBox>(window.get(), "ifprotect")->isChecked());
    EXPECT_TRUE(control<QLineEdit>(window.get(), "txtPassword")->isEnabled());
    EXPECT_TRUE(control<QLineEdit>(window.get(), "txtPassword2")->isEnabled());
    const QColor typeable =
        control<QLineEdit>(window.get(), "txtPassword")->palette().color(QPalette::Base);
    typeText(control<QLineEdit>(window.get(), "txtPassword"), QStringLiteral("secret"));
    typeText(control<QLineEdit>(window.get(), "txtPassword2"), QStringLiteral("secret"));
    EXPECT_EQ(control<QLineEdit>(window.get(), "txtPassword")->text(), QStringLiteral("secret"));
    EXPECT_EQ(control<QLineEdit>(window.get(), "txtPassword")->displayText(),
              QStringLiteral("******"));

    clickCheckBox(control<QCheckBox>(window.get(), "ifprotect"));
    EXPECT_FALSE(control<QLineEdit>(window.get(), "txtPassword")->isEnabled());
    EXPECT_FALSE(control<QLineEdit>(window.get(), "txtPassword2")->isEnabled());
    EXPECT_TRUE(control<QLineEdit>(window.get(), "txtPassword")->text().isEmpty());
    EXPECT_TRUE(control<QLineEdit>(window.get(), "txtPassword2")->text().isEmpty());
    EXPECT_NE(control<QLineEdit>(window.get(), "txtPassword")->palette().color(QPalette::Base),
              typeable);

    typeText(control<QLineEdit>(window.get(), "txtPassword"),
             QStringLiteral("x")); // disabled: ignored
    clickCheckBox(control<QCheckBox>(window.get(), "ifprotect"));
    EXPECT_TRUE(control<QLineEdit>(window.get(), "txtPassword")->text().isEmpty());
    EXPECT_TRUE(control<QLineEdit>(window.get(), "txtPassword2")->text().isEmpty());
    EXPECT_EQ(control<QLineEdit>(window.get(), "txtPassword")->palette().color(QPalette::Base),
              typeable);
}

TEST(ProposedBackupName, IsRavlinAndTheDateAsMonthDayYear) {
    EXPECT_EQ(ProposedBackupName(QDate(2026, 12, 7)), QStringLiteral("ravlin12-07-26"));
    EXPECT_EQ(ProposedBackupName(QDate(2031, 1, 30)), QStringLiteral("ravlin01-30-31"));
}

TEST_F(MainWindowTest, TheTargetFileDialogProposesTodaysNameAndACancelForgetsTheChoice) {
    open();
    nextFile = QString::fromStdString((prefix.work.path() / "mine.kvx").string());
    control<QPushButton>(window.get(), "cmdTargetFile")->click();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].dialogName, QStringLiteral("cdTarget"));
    EXPECT_EQ(dialogs[0].title, QStringLiteral("Save Outlook Data as"));
    EXPECT_EQ(dialogs[0].filter, QStringLiteral("Quenvar Outlook Backup File (*.kvx)"));
    EXPECT_EQ(dialogs[0].proposedName, ProposedBackupName(QDate::currentDate()));
    EXPECT_TRUE(dialogs[0].save);
    EXPECT_EQ(control<QLineEdit>(window.get(), "txtTargetFile")->text(), nextFile);
    EXPECT_EQ(window->targetFile(), nextFile.toStdString());

    nextFile.clear();
    control<QPushButton>(window.get(), "cmdTargetFile")->click();
    EXPECT_TRUE(control<QLineEdit>(window.get(), "txtTargetFile")->text().isEmpty());
    EXPECT_TRUE(window->targetFile().empty());
    // So the next backup has no file to write.
    itemBoxes(window.get(), "backupitem")[ItemTemplates]->setChecked(true);
    control<QPushButton>(window.get(), "cmdApply")->click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Invalid backup file.");
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
    control<QPushButton>(window.get(), "cmdTargetFile")->click();
    EXPECT_EQ(title, QStringLiteral("Save Outlook Data as"));
    EXPECT_EQ(filter, QStringLiteral("Quenvar Outlook Backup File (*.kvx)"));
    EXPECT_EQ(proposed, ProposedBackupName(QDate::currentDate()));
    // The backup file gets its extension, so that the open dialog lists it.
    EXPECT_EQ(control<QLineEdit>(window.get(), "txtTargetFile")->text(),
              target + QStringLiteral(".kvx"));
}

TEST_F(MainWindowTest, RestoreNowFromTheMenuAsksAsTheButtonDoes) {
    open();
    prompter.answer = MessageAnswer::Cancel;
    control<QAction>(window.get(), "restorenow")->trigger();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "Your current Email and News messages will be replaced with the messages from "
              "the selected backup file.\r\n\r\nProfile: " +
                  control<QComboBox>(window.get(), "cbTarget")->currentText().toStdString() +
                  "\r\n\r\nDo you want to countinue?");
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::OkCancelDefaultCancel);

    prompter.answer = MessageAnswer::Ok;
    control<QAction>(window.get(), "restorenow")->trigger();
    // Answered OK, the restore driver itself answers: no backup file inspected yet.
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_EQ(prompter.messages[2].text, "Invalid backup file.");
    EXPECT_EQ(prompter.messages[2].icon, MessageIcon::Critical);
}

TEST_F(MainWindowTest, TheRestoreButtonAsksFirstAndCancelDoesNothing) {
    open();
    control<QTabWidget>(window.get(), "SSTab1")->setCurrentIndex(1);
    prompter.answer = MessageAnswer::Cancel;
    control<QPushButton>(window.get(), "cmdApply")->click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "Your current Email and News messages will be replaced with the messages from "
              "the selected backup file.\r\n\r\nProfile: " +
                  control<QComboBox>(window.get(), "cbTarget")->currentText().toStdString() +
                  "\r\n\r\nDo you want to countinue?");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::OkCancelDefaultCancel);

    prompter.answer = MessageAnswer::Ok;
    control<QPushButton>(window.get(), "cmdApply")->click();
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_EQ(prompter.messages[2].text, "Invalid backup file.");
}

TEST_F(MainWindowTest, BackupNowFromTheMenuRunsTheBackupOnAnyTab) {
    open();
    control<QTabWidget>(window.get(), "SSTab1")->setCurrentIndex(1);
    control<QAction>(window.get(), "backupnow")->trigger();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Invalid backup file.");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
}
