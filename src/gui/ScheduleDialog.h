#pragma once

#include "core/ItemCatalogue.h"
#include "schedule/TaskScheduler.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace trelmig {

class Environment;
class KeepVersionsBox;
class Prompter;
class WindowMemory;

// What the main window shows as the schedule window opens, which a new task
// starts from: its profile, the items ticked and the backup file chosen.
struct ScheduleStart {
    QString profile;
    ItemSelection items{};
    QString file;
};

// "Task Scheduler": composes an unattended backup and registers it as a job
// (a systemd user timer, else a crontab line), keeping versions if asked. Create it once and call
// ShowModal() for every opening: its values (TargetFile above all) live as long as the object.
//
//   ScheduleDialog options(env, prompter, mainWindow);   // once
//   options.ShowModal();                            // menu "Task Scheduler"
class ScheduleDialog : public QDialog {
    Q_OBJECT
public:
    ScheduleDialog(Environment& env, Prompter& prompter, QWidget* parent = nullptr);

    // resetChoices, then the window runs modally; returns when it is closed.
    int ShowModal(const ScheduleStart& start = {});

    // Jobs go to the caller's crontab and start this program on the prefix of
    // env (or its Windows user folder); tests name another crontab and program.
    void SetScheduler(TaskScheduler scheduler);
    // From now on the window opens with the versions its last task kept
    // (none: versions off, the default counts).
    void Remember(WindowMemory* memory) { memory_ = memory; }
    const TaskScheduler& Scheduler() const { return scheduler_; }
    // Runs the dialogs this window opens (Save dialog, task list); exec() by
    // default, tests answer them.
    void SetModalRunner(std::function<int(QDialog&)> runner) { runModal_ = std::move(runner); }

    // Values of the window, kept between openings.
    std::string ProfileName;
    std::string ItemMask;
    std::string TargetFile;
    std::string DayList;

private:
    // Every box as a new window shows it, from the main window's choices.
    void resetChoices(const ScheduleStart& start);
    void onSourceProfileChanged();
    void onDailyToggled();
    void onTargetFileClicked();
    void onProtectToggled();
    void onAddTaskClicked();
    void onOpenSchedulerClicked();
    void onCancelClicked();

    void buildLayout();
    void setPasswordBoxes(bool enabled);
    void giveMnemonics();

    Environment& env_;
    Prompter& prompter_;
    TaskScheduler scheduler_;
    std::function<int(QDialog&)> runModal_;
    WindowMemory* memory_ = nullptr;
    bool sized_ = false; // opened at its content's size once

    QComboBox* cbSource;
    std::array<QCheckBox*, 8> backupitem;
    QComboBox* cmbStartTime;
    std::array<QCheckBox*, 7> dayBoxes; // chkMonday ... chkSunday
    QCheckBox* chkDaily;
    QLineEdit* txtTargetFile;
    QPushButton* cmdTargetFile;
    QCheckBox* ifprotect;
    QLineEdit* txtPassword;
    QLineEdit* txtPassword2;
    KeepVersionsBox* keepVersions;
    QPushButton* Command3;
    QPushButton* Command1;
    QPushButton* Command2;
};

} // namespace trelmig
