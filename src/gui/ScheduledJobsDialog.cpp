#include "gui/ScheduledJobsDialog.h"

#include "core/Prompter.h"
#include "gui/LocalTimeText.h"
#include "gui/MessageTexts.h"
#include "gui/ScreenFit.h"
#include "gui/Skin.h"
#include "schedule/JobDescription.h"
#include "schedule/JobStatus.h"
#include "schedule/TaskScheduler.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <ctime>

namespace trelmig {

namespace {

enum Column { ColFact, ColValue, ColumnCount };

// A fact's value in the user's language, a time in the user's locale.
QString FactValueText(JobFact fact) {
    if (!fact.time.empty() && !fact.value.front().values.empty())
        fact.value.front().values.front() = LocalTimeText(fact.time).toStdString();
    return TranslatedText(fact.value);
}

} // namespace

ScheduledJobsDialog::ScheduledJobsDialog(TaskScheduler scheduler, Prompter& prompter,
                                         QWidget* parent)
    : QDialog(parent), scheduler_(std::move(scheduler)), prompter_(prompter) {
    setObjectName("frmJobs");
    setWindowTitle(tr("Scheduled Tasks"));
    setModal(true);
    jobsList_ = new QTreeWidget;
    jobsList_->setObjectName("lvJobs");
    jobsList_->setRootIsDecorated(false);
    jobsList_->setColumnCount(ColumnCount);
    jobsList_->setHeaderHidden(true);
    jobsList_->header()->setSectionResizeMode(ColFact, QHeaderView::ResizeToContents);
    removeButton_ = new QPushButton(tr("&Remove Task"));
    removeButton_->setObjectName("cmdRemove");
    closeButton_ = new QPushButton(tr("&Close"));
    closeButton_->setObjectName("cmdClose");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(removeButton_);
    buttons->addStretch();
    buttons->addWidget(closeButton_);
    auto* top = new QVBoxLayout(this);
    top->addWidget(jobsList_);
    top->addLayout(buttons);
    ResizeWithinScreen(this, QSize(760, 320));
    connect(removeButton_, &QPushButton::clicked, this, [this] { onRemoveClicked(); });
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(jobsList_, &QTreeWidget::itemSelectionChanged, this,
            [this] { removeButton_->setEnabled(!jobsList_->selectedItems().isEmpty()); });
    ApplySkin(this);
    Refresh();
}

void ScheduledJobsDialog::Refresh() {
    jobsList_->clear();
    removeButton_->setEnabled(false);
    std::vector<JobListing> jobs;
    try {
        jobs = ListJobs(scheduler_);
    } catch (const std::exception& e) {
        prompter_.Show(tr("The scheduled tasks cannot be read: %1")
                           .arg(QString::fromLocal8Bit(e.what()))
                           .toStdString(),
                       MessageIcon::Critical);
        return;
    }
    const std::vector<RunRecord> runs = RecordedRuns();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // Each job as --list-jobs tells it: its heading, then a line per fact.
    for (const JobListing& job : jobs) {
        const JobDescription described = DescribeJob(job, runs, local);
        auto* row = new QTreeWidgetItem(jobsList_);
        row->setText(ColFact, QString::fromStdString(TranslatedMessage(described.heading)));
        row->setData(ColFact, Qt::UserRole, described.number);
        row->setFirstColumnSpanned(true);
        for (const JobFact& fact : described.facts) {
            auto* line = new QTreeWidgetItem(row);
            line->setText(ColFact, QString::fromStdString(TranslatedMessage({fact.label, {}})));
            line->setText(ColValue, FactValueText(fact));
            line->setToolTip(ColValue, line->text(ColValue));
        }
    }
    jobsList_->expandAll();
}

void ScheduledJobsDialog::onRemoveClicked() {
    const auto selected = jobsList_->selectedItems();
    if (selected.isEmpty())
        return;
    // A job's line stands for its job.
    const QTreeWidgetItem* job = selected.front();
    if (job->parent())
        job = job->parent();
    const int number = job->data(ColFact, Qt::UserRole).toInt();
    if (prompter_.Show(tr("Remove task %1 from the scheduler?").arg(number).toStdString(),
                       MessageIcon::Question, MessageButtons::OkCancel) != MessageAnswer::Ok)
        return;
    try {
        if (!UnscheduleJob(scheduler_, number))
            prompter_.Show(tr("Task %1 no longer exists.").arg(number).toStdString(),
                           MessageIcon::Information);
    } catch (const std::exception& e) {
        prompter_.Show(tr("Task %1 could not be removed: %2")
                           .arg(number)
                           .arg(QString::fromLocal8Bit(e.what()))
                           .toStdString(),
                       MessageIcon::Critical);
    }
    Refresh();
}

} // namespace trelmig
