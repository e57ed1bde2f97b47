#pragma once

#include "core/ProgressView.h"

#include <QFrame>

#include <atomic>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace trelmig {

// The main window's progress panel picCon3: status label Label1, file label
// SkinLabel9, percent label SkinLabel10, the bar pbshow and the button
// cmdCancel. It also shows the busy pointer. A run working on another thread
// may call it: what it shows is handed to the windows' thread.
class ProgressPanel : public QFrame, public ProgressView {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent = nullptr);
    ~ProgressPanel() override;

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
    QPushButton* cmdCancel; // enabled each time the panel is shown

signals:
    // The panel is about to be shown or hidden (the window makes room).
    void panelShown(bool visible);
    // cmdCancel was clicked (it is then disabled).
    void cancelClicked();

private:
    // False (after handing call to the windows' thread) on another thread.
    bool onOwnThread(std::function<void()> call);

    bool busy_ = false;
    std::atomic<int> value_{0};
};

} // namespace trelmig
