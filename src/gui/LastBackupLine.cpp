#include "gui/LastBackupLine.h"

#include "gui/LocalTimeText.h"
#include "gui/MessageTexts.h"
#include "gui/RememberedSize.h"
#include "gui/RunsDialog.h"
#include "gui/WindowMemory.h"
#include "schedule/JobStatus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <ctime>

namespace trelmig {

LastBackupLine::LastBackupLine(int staleDays, QWidget* parent)
    : QWidget(parent), staleDays_(staleDays) {
    setObjectName("LastBackupLine");
    summaryLabel_ = new QLabel(this);
    summaryLabel_->setObjectName("lblLastBackup");
    showRunsButton_ = new QPushButton(tr("&View Backup Runs..."), this);
    showRunsButton_->setObjectName("cmdShowRuns");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(summaryLabel_, 1);
    row->addWidget(showRunsButton_);
    connect(showRunsButton_, &QPushButton::clicked, this, &LastBackupLine::ShowRuns);
    Refresh();
}

void LastBackupLine::Refresh() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    LastBackupSummary summary = SummarizeRuns(RecordedRuns(), local, staleDays_);
    for (Message& part : summary.parts)
        if (part.id == MessageId::LastBackupAt && !part.values.empty())
            part.values.front() = LocalTimeText(part.values.front()).toStdString();
    summaryLabel_->setText(TranslatedText(summary.parts));
    // The alarm is a property the skin and dark themes can colour; red here.
    summaryLabel_->setProperty("alarming", summary.alarming);
    summaryLabel_->setStyleSheet(summary.alarming ? "color: #c00000;" : "");
}

void LastBackupLine::ShowRuns() {
    RunsDialog runs(staleDays_, this);
    KeepWindowSize(&runs, memory_);
    runs.exec();
    SetStaleDays(runs.StaleDays());
}

void LastBackupLine::Remember(WindowMemory* memory) {
    memory_ = memory;
    if (memory_)
        staleDays_ = memory_->StaleBackupDays(staleDays_);
    Refresh();
}

void LastBackupLine::SetStaleDays(int days) {
    staleDays_ = days;
    if (memory_)
        memory_->SetStaleBackupDays(days);
    Refresh();
}

} // namespace trelmig
