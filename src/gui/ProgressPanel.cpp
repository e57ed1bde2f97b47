#include "gui/ProgressPanel.h"

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

    Label1 = new QLabel(QStringLiteral("Please Waiting"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    SkinLabel9 = new QLabel(this);
    SkinLabel9->setObjectName(QStringLiteral("SkinLabel9"));
    // Long file names must not widen the window.
    SkinLabel9->setMinimumWidth(1);
    SkinLabel9->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    SkinLabel10 = new QLabel(this);
    SkinLabel10->setObjectName(QStringLiteral("SkinLabel10"));
    SkinLabel10->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pbshow = new QProgressBar(this);
    pbshow->setObjectName(QStringLiteral("pbshow"));
    pbshow->setRange(0, 100);
    pbshow->setValue(0);
    pbshow->setTextVisible(false);

    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        cmdCancel->setEnabled(false);
        emit cancelClicked();
    });

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(SkinLabel10, 0, 1);
    grid->addWidget(SkinLabel9, 1, 0, 1, 2);
    grid->addWidget(pbshow, 2, 0, 1, 2);
    grid->addWidget(cmdCancel, 0, 2, 3, 1, Qt::AlignVCenter);
    grid->setColumnStretch(0, 1);
}

bool ProgressPanel::onOwnThread(std::function<void()> call) {
    if (QThread::currentThread() == thread())
        return true;
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    return false;
}

ProgressPanel::~ProgressPanel() {
    SetBusy(false);
}

void ProgressPanel::ShowPanel(bool visible) {
    if (!onOwnThread([this, visible] { ShowPanel(visible); }))
        return;
    if (visible)
        cmdCancel->setEnabled(true);
    emit panelShown(visible);
    setVisible(visible);
}

void ProgressPanel::SetBusy(bool busy) {
    if (!onOwnThread([this, busy] { SetBusy(busy); }))
        return;
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor); // Cancel can still be clicked
    else
        QApplication::restoreOverrideCursor();
}

void ProgressPanel::SetStatus(const std::string& text) {
    if (!onOwnThread([this, text] { SetStatus(text); }))
        return;
    Label1->setText(QString::fromStdString(text));
}

void ProgressPanel::SetFileText(const std::string& text) {
    if (!onOwnThread([this, text] { SetFileText(text); }))
        return;
    SkinLabel9->setText(QString::fromStdString(text));
}

void ProgressPanel::SetPercentText(const std::string& text) {
    if (!onOwnThread([this, text] { SetPercentText(text); }))
        return;
    SkinLabel10->setText(QString::fromStdString(text));
}

void ProgressPanel::SetProgress(int value) {
    value = std::clamp(value, 0, 100);
    value_ = value;
    if (!onOwnThread([this, value] { pbshow->setValue(value); }))
        return;
    pbshow->setValue(value);
}

int ProgressPanel::Progress() const {
    return value_;
}

void ProgressPanel::ProcessEvents() {
    // A run on another thread leaves the windows' thread free anyway.
    if (QThread::currentThread() == thread())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace trelmig
