#pragma once

#include "core/ItemCatalogue.h"
#include "schedule/TaskScheduler.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>
#include <utility>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace trelmig {

class BackupTargetBox;
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
    // A repository chosen as the target, and its address.
    bool toRepository = false;
    QString repository{};
};

// "Task Scheduler": composes an unattended backup and registers it as a job
// (a systemd user timer, else a crontab line), keeping versions if asked. Create it once and call
// ShowModal() for every opening: its values (the backup file above all) live as long as the object.
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

    // What the last "Add Task to Scheduler" registered (or refused), and
    // the backup file, which is kept between openings.
    const std::string& profileName() const { return profileName_; }
    const std::string& itemMask() const { return itemMask_; }
    const std::string& dayList() const { return dayList_; }
    const std::string& targetFile() const;
    void SetTargetFile(const std::string& file);
    // The repository address the last "Add Task to Scheduler" registered;
    // empty for a backup file.
    const std::string& repository() const { return repository_; }

private:
    // Every box as a new window shows it, from the main window's choices.
    void resetChoices(const ScheduleStart& start);
    void onSourceProfileChanged();
    void onDailyToggled();
    void onTargetFileClicked();
    void onTargetRepositoryClicked();
    // The repository's address and passphrase checked (with a message when
    // they cannot be used), as the items are.
    bool checkRepositoryChoices(const std::string& itemMask);
    void onAddTaskClicked();
    void onOpenSchedulerClicked();
    void onCancelClicked();

    void buildLayout();
    QGroupBox* buildWhat();  // the profile, the items and the versions to keep
    QGroupBox* buildWhen();  // the start time and the days
    QGroupBox* buildWhere(); // the backup file and its password
    void giveMnemonics();

    Environment& env_;
    Prompter& prompter_;
    TaskScheduler scheduler_;
    std::function<int(QDialog&)> runModal_;
    WindowMemory* memory_ = nullptr;
    bool sized_ = false; // opened at its content's size once
    std::string profileName_;
    std::string itemMask_;
    std::string dayList_;
    std::string repository_;

    QComboBox* profileBox_;
    std::array<QCheckBox*, kItemCount> itemBoxes_;
    QComboBox* startTimeBox_;
    std::array<QCheckBox*, 7> dayBoxes_; // chkMonday ... chkSunday
    QCheckBox* dailyBox_;
    BackupTargetBox* targetBox_;
    KeepVersionsBox* keepVersionsBox_;
    QPushButton* addTaskButton_;
    QPushButton* openSchedulerButton_;
    QPushButton* cancelButton_;
};

} // namespace trelmig
