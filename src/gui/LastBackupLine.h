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
// that shows every run and where the days without a success are set.
class LastBackupLine : public QWidget {
    Q_OBJECT
public:
    explicit LastBackupLine(int staleDays = kStaleBackupDays, QWidget* parent = nullptr);

    // Reads runs.log again.
    void Refresh();
    void ShowRuns();
    // The days are kept in memory from now on, and read from it now.
    void Remember(WindowMemory* memory);
    // Alarms after days without a success from now on (kept when remembered).
    void SetStaleDays(int days);
    int StaleDays() const { return staleDays_; }

private:
    int staleDays_;
    WindowMemory* memory_ = nullptr;
    QLabel* summaryLabel_;
    QPushButton* showRunsButton_;
};

} // namespace trelmig
