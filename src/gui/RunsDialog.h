#pragma once

#include <QDialog>

class QTreeWidget;

namespace trelmig {

// "Backup Runs": every unattended run of runs.log, newest first.
class RunsDialog : public QDialog {
    Q_OBJECT
public:
    explicit RunsDialog(QWidget* parent = nullptr);

private:
    QTreeWidget* lvRuns;
};

} // namespace trelmig
