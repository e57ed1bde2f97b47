#include "gui/ProgressPanel.h"

#include "gui/ByteProgressText.h"
#include "gui/ItemTexts.h"
#include "gui/MessageTexts.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include <algorithm>

namespace trelmig {

ProgressPanel::ProgressPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("picCon3"));
    setFrameShape(QFrame::StyledPanel);

    statusLabel_ = new QLabel(tr("Please Waiting"), this);
    statusLabel_->setObjectName(QStringLiteral("Label1"));
    itemLabel_ = new QLabel(this);
    itemLabel_->setObjectName(QStringLiteral("SkinLabel9"));
    // Long file names must not widen the window.
    itemLabel_->setMinimumWidth(1);
    itemLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    percentLabel_ = new QLabel(this);
    percentLabel_->setObjectName(QStringLiteral("SkinLabel10"));
    percentLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("pbshow"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);

    cancelButton_ = new QPushButton(tr("&Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cmdCancel"));
    cancelButton_->setAutoDefault(false);
    connect(cancelButton_, &QPushButton::clicked, this, [this] {
        cancelButton_->setEnabled(false);
        emit cancelClicked();
    });

    auto* grid = new QGridLayout(this);
    grid->addWidget(statusLabel_, 0, 0);
    grid->addWidget(percentLabel_, 0, 1);
    grid->addWidget(itemLabel_, 1, 0, 1, 2);
    grid->addWidget(bar_, 2, 0, 1, 2);
    grid->addWidget(cancelButton_, 0, 2, 3, 1, Qt::AlignVCenter);
    grid->setColumnStretch(0, 1);
}

bool ProgressPanel::OnOwnThread(std::function<void()> call) {
    if (QThread::currentThread() == thread())
        return true;
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    return false;
}

ProgressPanel::~ProgressPanel() {
    SetBusy(false);
}

void ProgressPanel::SetShown(bool visible) {
    if (!OnOwnThread([this, visible] { SetShown(visible); }))
        return;
    if (visible)
        cancelButton_->setEnabled(true);
    bar_->setRange(0, 100);
    transfer_ = TransferEstimate(); // each run measures its own speed
    emit panelShown(visible);
    setVisible(visible);
}

void ProgressPanel::SetBusy(bool busy) {
    if (!OnOwnThread([this, busy] { SetBusy(busy); }))
        return;
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor); // Cancel can still be clicked
    else
        QApplication::restoreOverrideCursor();
}

void ProgressPanel::SetStatusText(const std::string& text) {
    if (!OnOwnThread([this, text] { SetStatusText(text); }))
        return;
    statusLabel_->setText(QString::fromStdString(text));
}

void ProgressPanel::SetStatus(const Message& status) {
    // Translating is safe on the run's own thread; only the label waits.
    SetStatusText(TranslatedMessage(status));
}

void ProgressPanel::SetPercent(const Message& percent) {
    SetPercentText(TranslatedMessage(percent));
}

void ProgressPanel::SetItemText(const std::string& text) {
    if (!OnOwnThread([this, text] { SetItemText(text); }))
        return;
    itemLabel_->setText(QString::fromStdString(text));
}

void ProgressPanel::SetPercentText(const std::string& text) {
    if (!OnOwnThread([this, text] { SetPercentText(text); }))
        return;
    percentLabel_->setText(QString::fromStdString(text));
}

void ProgressPanel::SetBarValue(int value) {
    value = std::clamp(value, 0, 100);
    value_ = value;
    if (!OnOwnThread([this, value] { bar_->setValue(value); }))
        return;
    bar_->setValue(value);
}

void ProgressPanel::SetByteProgress(ByteWork work, const std::string& item, std::uint64_t done,
                                    std::uint64_t total) {
    const auto now = TransferEstimate::Clock::now();
    if (!OnOwnThread([=, this] { SetByteProgress(work, item, done, total); }))
        return;
    if (!transfer_.Started() || transfer_.Total() != total || done < transfer_.Done())
        transfer_.Start(total, now);
    transfer_.Update(done, now);
    const QString text =
        // A user's file keeps its name; what the backup made itself is named by its item.
        ByteProgressText(work, ItemText(item), transfer_.Done(), total, transfer_.BytesPerSecond(),
                         transfer_.TimeLeft(), locale());
    itemLabel_->setText(text);
    itemLabel_->setToolTip(text);
}

int ProgressPanel::BarValue() const {
    return value_;
}

void ProgressPanel::ShowUnmeasured(const QString& status, const QString& detail) {
    cancelButton_->setEnabled(false);
    statusLabel_->setText(status);
    itemLabel_->setText(detail);
    itemLabel_->setToolTip(detail);
    percentLabel_->clear();
    bar_->setRange(0, 0);
}

void ProgressPanel::ShowMeasured(const QString& status, const QString& detail) {
    ShowUnmeasured(status, detail);
    cancelButton_->setEnabled(true);
    bar_->setRange(0, 100);
    value_ = 0;
    bar_->setValue(0);
}

void ProgressPanel::ShowCancelling() {
    cancelButton_->setEnabled(false);
    SetStatusText(tr("Cancelling...").toStdString());
}

} // namespace trelmig
