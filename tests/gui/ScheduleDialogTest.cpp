#include "gui/ScheduleDialog.h"

#include "CronShell.h"
#include "FakeCrontab.h"
#include "RecordingPrompter.h"
#include "RunShell.h"
#include "SamplePrefixCopy.h"
#include "WindowTestSupport.h"
#include "app/Environment.h"
#include "app/MachineSource.h"
#include "gui/RunsDialog.h"
#include "gui/ScheduledJobsDialog.h"
#include "gui/Translations.h"
#include "gui/WindowMemory.h"
#include "platform/ScopedEnv.h"
#include "schedule/JobPasswordFile.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

const char* const kDays[] = {"chkMonday", "chkTuesday",  "chkWednesday", "chkThursday",
                             "chkFriday", "chkSaturday", "chkSunday"};

struct ScheduleWindow : ::testing::Test {
    SamplePrefixCopy sample;
    // Password files of the jobs go to the test's folder, not the caller's home.
    ScopedEnv configHome{"XDG_CONFIG_HOME", (sample.work.path() / "config").string()};
    RecordingPrompter prompter;
    std::unique_ptr<Environment> env;
    FakeCrontab fake;
    std::unique_ptr<ScheduleDialog> dialog;
    // Answers the dialogs the window opens; the window itself is closed at once.
    std::function<int(QDialog&)> answer;

    void SetUp() override {
        guiApp();
        env = std::make_unique<Environment>(WinePrefix(sample.root), prompter);
        env->Discover();
        dialog = std::make_unique<ScheduleDialog>(*env, prompter);
        dialog->SetScheduler(
            {fake.crontab(), "/usr/bin/trelmig", sample.root, std::nullopt, [] { return true; }});
        dialog->SetModalRunner([this](QDialog& d) {
            return &d != dialog.get() && answer ? answer(d) : int(QDialog::Rejected);
        });
        dialog->ShowModal();
        prompter.messages.clear();
    }

    template <typename W> W* child(const QString& name) { return control<W>(dialog.get(), name); }
    QCheckBox* box(const QString& name) { return child<QCheckBox>(name); }
    QCheckBox* item(int i) { return box(QString("backupitem%1").arg(i)); }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    void click(const char* name) { child<QPushButton>(name)->click(); }

    // A path in the test's own folder: the Save dialog needs a real folder.
    std::string file(const char* name) const { return (sample.work.path() / name).string(); }
    // "Browse..." answered with this path.
    void browse(const std::string& path) {
        answer = [path](QDialog& d) {
            static_cast<QFileDialog&>(d).selectFile(QString::fromStdString(path));
            return int(QDialog::Accepted);
        };
        click("cmdTargetFile");
        answer = nullptr;
    }
    std::string lastMessage() const {
        return prompter.messages.empty() ? "" : prompter.messages.back().text;
    }
    std::vector<std::string> tableLines() const {
        std::vector<std::string> lines;
        std::istringstream in(fake.Table());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

} // namespace

TEST_F(ScheduleWindow, LoadShowsTheProfilesStartTimesAndDesignState) {
    EXPECT_EQ(dialog->windowTitle(), "Task Scheduler");
    auto* profiles = child<QComboBox>("cbSource");
    ASSERT_EQ(profiles->count(), int(env->session().profiles.size()));
    EXPECT_EQ(profiles->itemText(0).toStdString(), env->session().profiles[0]);
    EXPECT_EQ(profiles->currentIndex(), 0);

    auto* times = child<QComboBox>("cmbStartTime");
    ASSERT_EQ(times->count(), 48);
    EXPECT_EQ(times->itemText(0), "0:00");
    EXPECT_EQ(times->itemText(1), "0:30");
    EXPECT_EQ(times->itemText(2), "1:00");
    EXPECT_EQ(times->itemText(47), "23:30");
    EXPECT_EQ(times->currentText(), "9:00");
    EXPECT_TRUE(times->isEditable());

    for (int i = 0; i < kItemCount; ++i) {
        EXPECT_EQ(item(i)->text().toStdString(), itemCatalogue()[i].caption);
        EXPECT_FALSE(item(i)->isChecked());
    }
    for (const char* day : kDays)
        EXPECT_FALSE(box(day)->isChecked());
    EXPECT_FALSE(box("chkDaily")->isChecked());
    EXPECT_FALSE(box("ifprotect")->isChecked());
    EXPECT_FALSE(edit("txtPassword")->isEnabled());
    EXPECT_FALSE(edit("txtPassword2")->isEnabled());
    // Any length, as the main window's password boxes and the password prompt.
    EXPECT_EQ(edit("txtPassword")->maxLength(), QLineEdit().maxLength());
    EXPECT_EQ(edit("txtPassword2")->maxLength(), QLineEdit().maxLength());
    EXPECT_EQ(edit("txtPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit("txtPassword2")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit("txtTargetFile")->text(), "");
    EXPECT_EQ(shownText(child<QPushButton>("Command3")->text()), "Add Task to Scheduler");
    EXPECT_EQ(shownText(child<QPushButton>("Command1")->text()), "Open Scheduler");
    EXPECT_EQ(shownText(child<QPushButton>("Command2")->text()), "Cancel");
    EXPECT_EQ(mnemonicProblems(dialog.get()), QStringList());
    // Two frames, two titles.
    EXPECT_EQ(child<QGroupBox>("Frame3")->title(), "Schedule");
    EXPECT_EQ(child<QGroupBox>("Frame2")->title(), "Where");
}

TEST_F(ScheduleWindow, ItemBoxesFollowTheChosenProfile) {
    // The sample's Outlook 2010 has no Personal Address Book.
    ASSERT_TRUE(IsNewOutlook(env->session()));
    EXPECT_FALSE(item(ItemAddressBook)->isEnabled());
    EXPECT_EQ(item(ItemAddressBook)->toolTip(),
              " MS Outlook 2007 don't support Personal Address Book!");
    EXPECT_EQ(item(ItemSignatures)->toolTip().toStdString(),
              itemCatalogue()[ItemSignatures].backupToolTip);

    ASSERT_GE(env->session().profiles.size(), 2u);
    for (int i = 0; i < kItemCount; ++i)
        item(i)->setChecked(item(i)->isEnabled());
    auto* profiles = child<QComboBox>("cbSource");
    profiles->setCurrentIndex(1);
    emit profiles->activated(1);

    const ItemStates expected = env->ItemStatesOf(env->session().profiles[1]);
    for (int i = 0; i < kItemCount; ++i) {
        EXPECT_FALSE(item(i)->isChecked()) << i; // another profile unchecks every box
        EXPECT_EQ(item(i)->isEnabled(), expected[i].enabled) << i;
    }
}

TEST_F(ScheduleWindow, RunDailySetsAndClearsAllSevenDays) {
    box("chkDaily")->click();
    for (const char* day : kDays)
        EXPECT_TRUE(box(day)->isChecked()) << day;
    box("chkSunday")->click();
    EXPECT_TRUE(box("chkDaily")->isChecked()); // a single day leaves it as it is
    EXPECT_FALSE(box("chkSunday")->isChecked());

    item(0)->setChecked(true);
    browse(file("b.kvx"));
    click("Command3");
    EXPECT_EQ(lastMessage(), "Task 1 has been scheduled.");
    EXPECT_EQ(dialog->dayList(), "M,T,W,TH,F,S");
    ASSERT_EQ(tableLines().size(), 1u);
    EXPECT_TRUE(tableLines()[0].starts_with("0 9 * * 1,2,3,4,5,6 ")) << tableLines()[0];

    box("chkDaily")->click();
    for (const char* day : kDays)
        EXPECT_FALSE(box(day)->isChecked()) << day;
    box("chkDaily")->click();
    click("Command3");
    EXPECT_TRUE(tableLines().at(1).starts_with("0 9 * * * ")) << tableLines()[1];
}

TEST_F(ScheduleWindow, ProtectionEnablesAndEmptiesThePasswordBoxes) {
    const QColor off = edit("txtPassword")->palette().color(QPalette::Base);
    box("ifprotect")->click();
    EXPECT_TRUE(edit("txtPassword")->isEnabled());
    EXPECT_TRUE(edit("txtPassword2")->isEnabled());
    EXPECT_NE(edit("txtPassword")->palette().color(QPalette::Base), off);
    edit("txtPassword")->setText("secret");
    edit("txtPassword2")->setText("secret");
    box("ifprotect")->click();
    EXPECT_FALSE(edit("txtPassword")->isEnabled());
    EXPECT_EQ(edit("txtPassword")->text(), "");
    EXPECT_EQ(edit("txtPassword2")->text(), "");
    EXPECT_EQ(edit("txtPassword")->palette().color(QPalette::Base), off);
}

TEST_F(ScheduleWindow, AddTaskChecksInOrderAndRegistersWhenAllPass) {
    auto expectMessage = [&](const std::string& text, MessageIcon icon) {
        ASSERT_FALSE(prompter.messages.empty());
        EXPECT_EQ(prompter.messages.back().text, text);
        EXPECT_EQ(prompter.messages.back().icon, icon);
        prompter.messages.clear();
    };
    box("ifprotect")->click();
    click("Command3");
    expectMessage("Please select at least one item.", MessageIcon::Exclamation);
    item(ItemSignatures)->setChecked(true);
    click("Command3");
    expectMessage("Invalid backup file name.", MessageIcon::Exclamation);
    browse(file("b.kvx"));
    click("Command3");
    expectMessage("Please enter Password!", MessageIcon::Critical);
    edit("txtPassword")->setText("abc");
    click("Command3");
    expectMessage("Incorrect Password!", MessageIcon::Critical);
    EXPECT_TRUE(fake.Calls().empty());

    // Longer than the 20 characters the window once stopped at.
    const QString password = QStringLiteral("p a$s 'w'") + QString(25, 'x');
    edit("txtPassword")->setText(password);
    edit("txtPassword2")->setText(password);
    child<QComboBox>("cmbStartTime")->setCurrentText("23:30");
    box("chkMonday")->click();
    box("chkThursday")->click();
    click("Command3");
    expectMessage("Task 1 has been scheduled.", MessageIcon::None);
    EXPECT_EQ(dialog->itemMask(), "00100000");
    EXPECT_EQ(dialog->profileName(), env->session().profiles[0]);
    EXPECT_EQ(dialog->dayList(), "M,TH");
    const auto jobs = fake.crontab().Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].info.jobTime, 84600000u);
    EXPECT_EQ(jobs[0].info.daysOfWeek, 9);
    EXPECT_EQ(jobs[0].info.command, "\"/usr/bin/trelmig\" sf=" + dialog->profileName() +
                                        "xm=00100000ps=bf=" + file("b.kvx"));
    EXPECT_EQ(ReadPasswordFile(jobs[0].passwordFile), password.toStdString());
    EXPECT_EQ(jobs[0].winePrefix, sample.root);

    // The window stays open for another job, with other days.
    box("chkMonday")->click();
    click("Command3");
    expectMessage("Task 2 has been scheduled.", MessageIcon::None);
    EXPECT_EQ(fake.crontab().Jobs().at(1).info.daysOfWeek, 8);
}

TEST_F(ScheduleWindow, TheSaveDialogProposesTheProfileAndTodayAndACancelChangesNothing) {
    QString title, proposed;
    QStringList filters;
    bool confirmsOverwrite = false, saves = false;
    QString suffix = "unset";
    answer = [&](QDialog& d) {
        auto& dialog = static_cast<QFileDialog&>(d);
        title = dialog.windowTitle();
        filters = dialog.nameFilters();
        proposed = fs::path(dialog.selectedFiles().value(0).toStdString()).filename().c_str();
        confirmsOverwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
        saves = dialog.acceptMode() == QFileDialog::AcceptSave;
        suffix = dialog.defaultSuffix();
        return int(QDialog::Rejected);
    };
    click("cmdTargetFile");
    EXPECT_EQ(title, "Save Outlook Data as");
    EXPECT_EQ(filters, QStringList{"Quenvar Outlook Backup File (*.kvx)"});
    EXPECT_EQ(proposed.toStdString(),
              "outlook-" + QDate::currentDate().toString(Qt::ISODate).toStdString() + ".kvx");
    EXPECT_TRUE(confirmsOverwrite);
    EXPECT_TRUE(saves);
    EXPECT_EQ(suffix, "kvx");
    EXPECT_EQ(dialog->targetFile(), "");

    // A name without extension gets the backup files' one.
    const std::string chosen = (sample.work.path() / "weekly backup").string();
    browse(chosen);
    EXPECT_EQ(dialog->targetFile(), chosen + ".kvx");
    EXPECT_EQ(edit("txtTargetFile")->text().toStdString(), chosen + ".kvx");
    answer = [](QDialog&) { return int(QDialog::Rejected); };
    click("cmdTargetFile");
    EXPECT_EQ(dialog->targetFile(), chosen + ".kvx");
    EXPECT_TRUE(edit("txtTargetFile")->isReadOnly());
}

TEST_F(ScheduleWindow, ASecondOpeningStartsAfreshButKeepsAndShowsTheChosenFile) {
    browse(file("first.kvx"));
    item(0)->setChecked(true);
    child<QComboBox>("cmbStartTime")->setCurrentText("6:30");
    box("chkDaily")->click();
    click("Command2");
    EXPECT_FALSE(dialog->isVisible());

    dialog->ShowModal();
    EXPECT_EQ(child<QComboBox>("cmbStartTime")->currentText(), "9:00");
    EXPECT_FALSE(item(0)->isChecked());
    EXPECT_FALSE(box("chkDaily")->isChecked());
    EXPECT_FALSE(box("chkMonday")->isChecked());
    EXPECT_EQ(edit("txtTargetFile")->text().toStdString(), file("first.kvx"));
    EXPECT_EQ(dialog->targetFile(), file("first.kvx"));

    item(ItemPersonalFolders)->setChecked(true);
    click("Command3");
    EXPECT_EQ(lastMessage(), "Task 1 has been scheduled.");
    EXPECT_NE(fake.Table().find("bf=" + file("first.kvx") + "'"), std::string::npos)
        << fake.Table();
    // No day checked: the job runs once.
    EXPECT_EQ(fake.crontab().Jobs().at(0).info.daysOfWeek, 0);
}

TEST_F(ScheduleWindow, AStartTimeThatIsNoTimeOfDayIsRefused) {
    item(0)->setChecked(true);
    browse(file("b.kvx"));
    child<QComboBox>("cmbStartTime")->setCurrentText("half past nine");
    click("Command3");
    EXPECT_EQ(lastMessage(), "\"half past nine\" is not a time of day. Enter the start time as "
                             "hours and minutes, for example 9:00 or 23:30.");
    EXPECT_TRUE(fake.Calls().empty());
}

TEST_F(ScheduleWindow, ACrontabFailureIsAnErrorNotAConfirmation) {
    fake.Fail("crontab: your UID isn't in the passwd file.\n");
    item(0)->setChecked(true);
    browse(file("b.kvx"));
    click("Command3");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(lastMessage().starts_with("The task could not be scheduled: ")) << lastMessage();
}

TEST_F(ScheduleWindow, OpenSchedulerListsTheJobsAndRemovesTheChosenOne) {
    fake.SetTable("MAILTO=\"\"\n");
    item(0)->setChecked(true);
    browse(file("b.kvx"));
    box("ifprotect")->click();
    edit("txtPassword")->setText("Sesame");
    edit("txtPassword2")->setText("Sesame");
    click("Command3");
    box("chkFriday")->click();
    click("Command3");
    prompter.messages.clear();

    std::vector<std::vector<QString>> rows;
    answer = [&](QDialog& d) {
        auto* jobs = qobject_cast<ScheduledJobsDialog*>(&d);
        EXPECT_NE(jobs, nullptr);
        if (!jobs)
            return int(QDialog::Rejected);
        QTreeWidget* list = control<QTreeWidget>(jobs, "lvJobs");
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            const QTreeWidgetItem* job = list->topLevelItem(r);
            std::vector<QString> row{job->text(0)};
            for (int c = 0; c < job->childCount(); ++c)
                row.push_back(job->child(c)->text(0) + ": " + job->child(c)->text(1));
            rows.push_back(row);
        }
        // Remove task 1: refused once, then agreed.
        list->setCurrentItem(list->topLevelItem(0));
        prompter.answer = MessageAnswer::Cancel;
        jobs->onRemoveClicked();
        EXPECT_EQ(list->topLevelItemCount(), 2);
        prompter.answer = MessageAnswer::Ok;
        jobs->onRemoveClicked();
        EXPECT_EQ(list->topLevelItemCount(), 1);
        return int(QDialog::Accepted);
    };
    click("Command1");
    const QString profile = QString::fromStdString(env->session().profiles[0]);
    ASSERT_EQ(rows.size(), 2u);
    const QString target = QString::fromStdString(file("b.kvx"));
    // What --list-jobs says of each: items by name, versions, next and last run.
    const QString root = QString::fromStdString(sample.root.string());
    for (int job = 0; job < 2; ++job) {
        ASSERT_EQ(rows[job].size(), 8u);
        EXPECT_EQ(rows[job][0],
                  job == 0 ? "Task 1 (crontab): 9:00, once" : "Task 2 (crontab): 9:00, F");
        EXPECT_EQ(std::vector<QString>(rows[job].begin() + 1, rows[job].begin() + 6),
                  (std::vector<QString>{"profile: " + profile, "items: Personal Folders",
                                        "file: " + target, "prefix: " + root,
                                        "versions: none, the file is replaced"}));
        EXPECT_TRUE(rows[job][6].startsWith("next run: ")) << rows[job][6].toStdString();
        EXPECT_NE(rows[job][6], "next run: unknown");
        EXPECT_EQ(rows[job][7], "last run: none yet");
    }
    for (const auto& row : rows)
        for (const QString& cell : row)
            EXPECT_FALSE(cell.contains("Sesame"));
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, "Remove task 1 from the scheduler?");
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::OkCancel);
    const auto left = fake.crontab().Jobs();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].number, 2);
    EXPECT_TRUE(fake.Table().starts_with("MAILTO=\"\"\n"));
}

TEST_F(ScheduleWindow, AnUnreadableCrontabIsReportedByTheTaskList) {
    fake.Fail("crontab: cannot open the spool folder\n");
    ScheduledJobsDialog jobs(TaskScheduler{fake.crontab(), "/usr/bin/trelmig", {}}, prompter);
    EXPECT_EQ(control<QTreeWidget>(&jobs, "lvJobs")->topLevelItemCount(), 0);
    EXPECT_EQ(lastMessage(), "The scheduled tasks cannot be read: crontab -l failed: crontab: "
                             "cannot open the spool folder");
}

TEST_F(ScheduleWindow, TheSkinStylesItsLabelsAsLabelsAndItsPasswordBoxesHaveRoom) {
    // The skin under test is the program's (the about box has a SkinLabel2 too).
    ASSERT_FALSE(dialog->styleSheet().isEmpty() && qApp->styleSheet().isEmpty());
    dialog->resize(dialog->sizeHint());
    dialog->show();
    QApplication::processEvents();
    auto* retype = child<QLabel>("SkinLabel2");
    auto* password = child<QLabel>("SkinLabel1");
    EXPECT_EQ(retype->font().pointSizeF(), password->font().pointSizeF());
    EXPECT_EQ(retype->font().bold(), password->font().bold());
    for (const char* name : {"txtPassword", "txtPassword2"})
        EXPECT_GE(edit(name)->width(), edit(name)->fontMetrics().averageCharWidth() * 12) << name;
    dialog->hide();
}

// Ctrl+A with the focus on an item ticks every item the profile has.
TEST_F(ScheduleWindow, CtrlASelectsEveryAvailableItem) {
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    for (int i = 0; i < kItemCount; ++i)
        item(i)->setChecked(false);
    item(0)->setFocus();
    QTest::keyClick(item(0), Qt::Key_A, Qt::ControlModifier);
    for (int i = 0; i < kItemCount; ++i)
        EXPECT_EQ(item(i)->isChecked(), item(i)->isEnabled()) << i;
}

// A task made with versions on carries its policy; the window opens with the
// versions of the last task it made on the prefix.
TEST_F(ScheduleWindow, KeepVersionsGoesOnTheTaskAndIsRemembered) {
    const QString settings = QString::fromStdString(file("settings.conf"));
    WindowMemory memory(settings, sample.root);
    dialog->Remember(&memory);
    dialog->ShowModal();
    auto* keep = box("chkKeepVersions");
    EXPECT_FALSE(keep->isChecked());
    EXPECT_FALSE(child<QSpinBox>("spnKeepLast")->isEnabled());
    item(ItemSignatures)->setChecked(true);
    browse(file("b.kvx"));
    click("Command3");
    ASSERT_EQ(lastMessage(), "Task 1 has been scheduled.");

    keep->click();
    EXPECT_TRUE(child<QSpinBox>("spnKeepLast")->isEnabled());
    child<QSpinBox>("spnKeepLast")->setValue(5);
    child<QSpinBox>("spnKeepMonthly")->setValue(0);
    click("Command3");
    ASSERT_EQ(lastMessage(), "Task 2 has been scheduled.");
    const auto jobs = fake.crontab().Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_TRUE(jobs[0].arguments.run.empty());
    EXPECT_EQ(jobs[1].arguments.run,
              (std::vector<std::string>{"--keep-last", "5", "--keep-daily", "7", "--keep-weekly",
                                        "4", "--keep-monthly", "0"}));
    EXPECT_EQ(jobs[1].winePrefix, sample.root);

    dialog->ShowModal();
    EXPECT_TRUE(box("chkKeepVersions")->isChecked());
    EXPECT_EQ(child<QSpinBox>("spnKeepLast")->value(), 5);
    EXPECT_EQ(child<QSpinBox>("spnKeepMonthly")->value(), 0);
    EXPECT_EQ(memory.KeepVersions("schedule"), (KeepChoice{true, {5, 7, 4, 0}}));
    // The main window's backups keep their own choice.
    EXPECT_FALSE(memory.KeepVersions("main").on);
}

TEST_F(ScheduleWindow, TheWindowSpeaksGermanWithAGermanLocale) {
    ASSERT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
    ScheduleDialog german(*env, prompter);
    RunsDialog runs(7);
    RemoveTranslations();
    EXPECT_EQ(german.windowTitle(), QStringLiteral("Zeitplanung"));
    EXPECT_EQ(control<QGroupBox>(&german, "Frame3")->title(), QStringLiteral("Zeitplan"));
    EXPECT_EQ(shownText(control<QCheckBox>(&german, "chkMonday")->text()),
              QStringLiteral("Montag"));
    EXPECT_EQ(shownText(control<QCheckBox>(&german, "chkKeepVersions")->text()),
              QStringLiteral("Versionen behalten"));
    EXPECT_EQ(shownText(control<QPushButton>(&german, "Command3")->text()),
              QStringLiteral("Aufgabe zum Zeitplan hinzufügen"));
    EXPECT_EQ(runs.windowTitle(), QStringLiteral("Sicherungsläufe"));
}

// The Where frame is the main window's, under this window's own captions,
// names and letters, in both languages.
TEST_F(ScheduleWindow, TheWhereFrameKeepsThisWindowsCaptions) {
    EXPECT_EQ(child<QLabel>("SkinLabel4")->text(), "Choose a Backup Fi&lename");
    EXPECT_EQ(child<QLabel>("SkinLabel4")->buddy(), child<QPushButton>("cmdTargetFile"));
    EXPECT_EQ(child<QLabel>("SkinLabel1")->buddy(), edit("txtPassword"));
    EXPECT_EQ(child<QLabel>("SkinLabel2")->buddy(), edit("txtPassword2"));
    EXPECT_EQ(child<QPushButton>("cmdTargetFile")->text(), "&Browse...");
    EXPECT_EQ(box("ifprotect")->text(), "Pr&otect backup file with password");
    ASSERT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
    ScheduleDialog german(*env, prompter);
    RemoveTranslations();
    EXPECT_EQ(shownText(control<QLabel>(&german, "SkinLabel4")->text()),
              QStringLiteral("Name der Sicherungsdatei wählen"));
    EXPECT_EQ(control<QGroupBox>(&german, "Frame2")->title(), QStringLiteral("Wohin"));
}

// Opened on a Windows user folder, the window makes jobs that read that
// folder: no prefix is set on them, and the run is told the folder.
TEST_F(ScheduleWindow, ATaskOfAWindowsUserFolderNamesTheFolderNotAPrefix) {
    const fs::path disk = sample.work.path() / "OS";
    const CommandRun made =
        RunShell(std::string(TRELMIG_MAKE_WINDOWS_DISK) + " " + ShellQuoted(sample.root.string()) +
                 " sam " + ShellQuoted(disk.string()));
    ASSERT_EQ(made.status, 0) << made.output;
    const auto windows =
        OpenEnvironment({std::nullopt, disk / "Users" / "sam", std::nullopt}, prompter);
    windows->Discover();
    ScheduleDialog fromWindows(*windows, prompter);
    fromWindows.SetScheduler({fake.crontab(), "/usr/bin/trelmig", windows->prefix.root(),
                              std::nullopt, [] { return true; }});
    fromWindows.SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    fromWindows.ShowModal();
    dialog.reset();
    fromWindows.SetTargetFile(file("pc.kvx"));
    control<QCheckBox>(&fromWindows, "backupitem2")->setChecked(true);
    control<QPushButton>(&fromWindows, "Command3")->click();
    ASSERT_EQ(lastMessage(), "Task 1 has been scheduled.");
    const auto jobs = fake.crontab().Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].winePrefix, fs::path());
    EXPECT_EQ(jobs[0].arguments.machine,
              (std::vector<std::string>{"--windows-user", (disk / "Users" / "sam").string(),
                                        "--windows-root", disk.string()}));
}
