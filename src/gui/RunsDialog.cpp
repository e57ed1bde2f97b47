#include "gui/RunsDialog.h"

#include "gui/ByteProgressText.h"
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
    runsList_ = new QTreeWidget(this);
    runsList_->setObjectName("lvRuns");
    runsList_->setHeaderLabels({tr("Started"), tr("Task"), tr("Profile"), tr("Result"),
                                tr("Backup file"), tr("Size"), tr("Message")});
    runsList_->setRootIsDecorated(false);
    const auto runs = RecordedRuns();
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        auto* row = new QTreeWidgetItem(runsList_);
        row->setText(0, QString::fromStdString(run->start.substr(0, 16)).replace('T', ' '));
        row->setText(1, run->job ? QString::number(*run->job) : QString());
        row->setText(2, QString::fromStdString(run->profile));
        row->setText(3, QString::fromStdString(RunResultText(run->exitStatus)));
        row->setText(4, QString::fromStdString(run->archive));
        row->setToolTip(4, row->text(4));
        // A file's size, or what a version added to its repository.
        if (run->bytes > 0)
            row->setText(5, ByteSizeText(run->bytes));
        row->setTextAlignment(5, Qt::AlignRight | Qt::AlignVCenter);
        row->setText(6, QString::fromStdString(run->message));
        row->setToolTip(6, QString::fromStdString(run->message));
    }
    runsList_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    staleDaysBox_ = new QSpinBox(this);
    staleDaysBox_->setObjectName("spnStaleDays");
    staleDaysBox_->setRange(1, 365);
    staleDaysBox_->setValue(staleDays);
    auto* staleLabel = new QLabel(tr("&Warn when no backup succeeded for this many days:"), this);
    staleLabel->setBuddy(staleDaysBox_);
    auto* staleRow = new QHBoxLayout;
    staleRow->addWidget(staleLabel);
    staleRow->addWidget(staleDaysBox_);
    staleRow->addStretch(1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(runsList_, 1);
    column->addLayout(staleRow);
    column->addWidget(buttons);
    resize(820, 360);
}

int RunsDialog::StaleDays() const {
    return staleDaysBox_->value();
}

} // namespace trelmig
