#include "gui/GuiProgressPanel.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace trelmig {

GuiProgressPanel::GuiProgressPanel(QWidget* parent) : QFrame(parent) {
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

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(SkinLabel10, 0, 1);
    grid->addWidget(SkinLabel9, 1, 0, 1, 2);
    grid->addWidget(pbshow, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
}

GuiProgressPanel::~GuiProgressPanel() {
    SetBusy(false);
}

void GuiProgressPanel::ShowPanel(bool visible) {
    emit panelShown(visible);
    setVisible(visible);
}

void GuiProgressPanel::SetBusy(bool busy) {
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void GuiProgressPanel::SetStatus(const std::string& text) {
    Label1->setText(QString::fromStdString(text));
}

void GuiProgressPanel::SetFileText(const std::string& text) {
    SkinLabel9->setText(QString::fromStdString(text));
}

void GuiProgressPanel::SetPercentText(const std::string& text) {
    SkinLabel10->setText(QString::fromStdString(text));
}

void GuiProgressPanel::SetProgress(int value) {
    pbshow->setValue(std::clamp(value, pbshow->minimum(), pbshow->maximum()));
}

int GuiProgressPanel::Progress() const {
    return pbshow->value();
}

void GuiProgressPanel::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace trelmig
