#pragma once

#include "schedule/TaskScheduler.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

namespace trelmig {

class Prompter;

// "Scheduled Tasks": the jobs of this program read back from the timers and
// the crontab (never their password) as --list-jobs tells them, with their
// next and last runs, and removal of the selected one. Opened by "Open
// Scheduler" in the schedule window.
class ScheduledJobsDialog : public QDialog {
    Q_OBJECT
public:
    ScheduledJobsDialog(TaskScheduler scheduler, Prompter& prompter, QWidget* parent = nullptr);

    // Reads the crontab again; a crontab that cannot be read is reported.
    void Refresh();
    // Removes the selected job after the user agreed.
    void onRemoveClicked();

private:
    TaskScheduler scheduler_;
    Prompter& prompter_;
    QTreeWidget* jobsList_;
    QPushButton* removeButton_;
    QPushButton* closeButton_;
};

} // namespace trelmig
