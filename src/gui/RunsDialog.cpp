#include "gui/RunsDialog.h"

#include "schedule/JobStatus.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace trelmig {

RunsDialog::RunsDialog(int staleDays, QWidget* parent) : QDialog(parent) {
    setObjectName("frmRuns");
    setWindowTitle(tr("Backup Runs"));
    lvRuns = new QTreeWidget(this);
    lvRuns->setObjectName("lvRuns");
    lvRuns->setHeaderLabels(
        {tr("Started"), tr("Task"), tr("Profile"), tr("Result"), tr("Backup file"), tr("Message")});
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
    spnStaleDays = new QSpinBox(this);
    spnStaleDays->setObjectName("spnStaleDays");
    spnStaleDays->setRange(1, 365);
    spnStaleDays->setValue(staleDays);
    auto* staleLabel = new QLabel(tr("&Warn when no backup succeeded for this many days:"), this);
    staleLabel->setBuddy(spnStaleDays);
    auto* staleRow = new QHBoxLayout;
    staleRow->addWidget(staleLabel);
    staleRow->addWidget(spnStaleDays);
    staleRow->addStretch(1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(lvRuns, 1);
    column->addLayout(staleRow);
    column->addWidget(buttons);
    resize(820, 360);
}

int RunsDialog::StaleDays() const {
    return spnStaleDays->value();
}

} // namespace trelmig
