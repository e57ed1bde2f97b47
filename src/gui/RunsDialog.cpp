#include "gui/RunsDialog.h"

#include "schedule/JobStatus.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace trelmig {

RunsDialog::RunsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("frmRuns");
    setWindowTitle("Backup Runs");
    lvRuns = new QTreeWidget(this);
    lvRuns->setObjectName("lvRuns");
    lvRuns->setHeaderLabels({"Started", "Task", "Profile", "Result", "Backup file", "Message"});
    lvRuns->setRootIsDecorated(false);
    const auto runs = RecordedRuns();
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        auto* row = new QTreeWidgetItem(lvRuns);
        row->setText(0, QString::fromStdString(run->start.substr(0, 16)).replace('T', ' '));
        row->setText(1, run->job ? QString::number(*run->job) : QString());
        row->setText(2, QString::fromStdString(run->profile));
        row->setText(3, QString::fromStdString(RunResultText(run->exitStatus)));
        row->setText(4, QString::fromStdString(run->archive));
        row->setText(5, QString::fromStdString(run->message));
        row->setToolTip(5, QString::fromStdString(run->message));
    }
    lvRuns->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(lvRuns, 1);
    column->addWidget(buttons);
    resize(820, 360);
}

} // namespace trelmig
