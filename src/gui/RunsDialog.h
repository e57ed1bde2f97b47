#pragma once

#include <QDialog>

class QSpinBox;
class QTreeWidget;

namespace trelmig {

// "Backup Runs": every unattended run of runs.log, newest first, and after
// how many days without a successful run the main window's line alarms.
class RunsDialog : public QDialog {
    Q_OBJECT
public:
    explicit RunsDialog(int staleDays, QWidget* parent = nullptr);

    int StaleDays() const;

private:
    QTreeWidget* runsList_;
    QSpinBox* staleDaysBox_;
};

} // namespace trelmig
