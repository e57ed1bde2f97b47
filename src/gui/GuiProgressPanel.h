#pragma once

#include "core/ProgressView.h"

#include <QFrame>

class QLabel;
class QProgressBar;

namespace trelmig {

// The main window's progress panel picCon3: status label Label1, file label
// SkinLabel9, percent label SkinLabel10 and the bar pbshow. It also shows the
// busy pointer and keeps the windows painted while a run works.
class GuiProgressPanel : public QFrame, public ProgressView {
    Q_OBJECT
public:
    explicit GuiProgressPanel(QWidget* parent = nullptr);
    ~GuiProgressPanel() override;

    void ShowPanel(bool visible) override;
    void SetBusy(bool busy) override;
    void SetStatus(const std::string& text) override;
    void SetFileText(const std::string& text) override;
    void SetPercentText(const std::string& text) override;
    void SetProgress(int value) override;
    int Progress() const override;
    void ProcessEvents() override;

    QLabel* Label1;
    QLabel* SkinLabel9;
    QLabel* SkinLabel10;
    QProgressBar* pbshow;

signals:
    // The panel is about to be shown or hidden (the window makes room).
    void panelShown(bool visible);

private:
    bool busy_ = false;
};

} // namespace trelmig
