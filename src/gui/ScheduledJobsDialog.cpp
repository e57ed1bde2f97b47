#include "gui/ScheduledJobsDialog.h"

#include "core/ItemCatalogue.h"
#include "core/Prompter.h"
#include "gui/ScreenFit.h"
#include "gui/Skin.h"
#include "schedule/TaskScheduler.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace trelmig {

namespace {

enum Column { ColTask, ColTime, ColDays, ColProfile, ColItems, ColTarget, ColumnCount };

QString itemNames(const std::string& mask) {
    QStringList names;
    for (int i = 0; i < kItemCount && i < int(mask.size()); ++i)
        if (mask[std::size_t(i)] == '1')
            names << QString::fromUtf8(itemCatalogue()[i].caption.data(),
                                       qsizetype(itemCatalogue()[i].caption.size()));
    return names.join('\n');
}

} // namespace

ScheduledJobsDialog::ScheduledJobsDialog(TaskScheduler scheduler, Prompter& prompter,
                                         QWidget* parent)
    : QDialog(parent), scheduler_(std::move(scheduler)), prompter_(prompter) {
    setObjectName("frmJobs");
    setWindowTitle(tr("Scheduled Tasks"));
    setModal(true);
    lvJobs = new QTreeWidget;
    lvJobs->setObjectName("lvJobs");
    lvJobs->setRootIsDecorated(false);
    lvJobs->setColumnCount(ColumnCount);
    lvJobs->setHeaderLabels(
        {tr("Task"), tr("Start time"), tr("Days"), tr("Profile"), tr("Items"), tr("Backup file")});
    lvJobs->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    cmdRemove = new QPushButton(tr("&Remove Task"));
    cmdRemove->setObjectName("cmdRemove");
    cmdClose = new QPushButton(tr("&Close"));
    cmdClose->setObjectName("cmdClose");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRemove);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* top = new QVBoxLayout(this);
    top->addWidget(lvJobs);
    top->addLayout(buttons);
    ResizeWithinScreen(this, QSize(760, 320));
    connect(cmdRemove, &QPushButton::clicked, this, [this] { onRemoveClicked(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(lvJobs, &QTreeWidget::itemSelectionChanged, this,
            [this] { cmdRemove->setEnabled(!lvJobs->selectedItems().isEmpty()); });
    ApplySkin(this);
    Refresh();
}

void ScheduledJobsDialog::Refresh() {
    lvJobs->clear();
    cmdRemove->setEnabled(false);
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
    for (const JobListing& job : jobs) {
        auto* row = new QTreeWidgetItem(lvJobs);
        row->setData(ColTask, Qt::DisplayRole, job.number);
        row->setText(ColTime, QString::fromStdString(job.time));
        row->setText(ColDays, QString::fromStdString(job.days));
        if (job.problem.empty()) {
            row->setText(ColProfile, QString::fromStdString(job.profile));
            row->setText(ColItems, QString::fromStdString(job.items));
            row->setToolTip(ColItems, itemNames(job.items));
            row->setText(ColTarget, QString::fromStdString(job.targetFile));
        } else {
            row->setText(ColProfile, QString::fromStdString(job.problem));
        }
    }
}

void ScheduledJobsDialog::onRemoveClicked() {
    const auto selected = lvJobs->selectedItems();
    if (selected.isEmpty())
        return;
    const int number = selected.front()->data(ColTask, Qt::DisplayRole).toInt();
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
