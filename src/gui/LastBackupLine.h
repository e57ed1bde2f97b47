#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace trelmig {

class WindowMemory;

// Days without a successful run after which the line turns red.
inline constexpr int kStaleBackupDays = 7;

// "Last backup: <when>, <result>" of the unattended runs (runs.log), in red
// when the last run failed or no run succeeded for staleDays, with a button
// that shows every run.
class LastBackupLine : public QWidget {
    Q_OBJECT
public:
    explicit LastBackupLine(int staleDays = 7, QWidget* parent = nullptr);

    // Reads runs.log again.
    void Refresh();
    void ShowRuns();
    // Where the runs window keeps its size; none: it is not kept.
    void SetMemory(WindowMemory* memory) { memory_ = memory; }

private:
    int staleDays_;
    WindowMemory* memory_ = nullptr;
    QLabel* lblLastBackup;
    QPushButton* cmdShowRuns;
};

} // namespace trelmig
