#pragma once

#include "core/ProgressView.h"
#include "core/TransferEstimate.h"

#include <QFrame>

#include <atomic>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace trelmig {

// The main window's progress panel (object name picCon3): a status label
// (Label1), an item label (SkinLabel9), a percent label (SkinLabel10), the bar
// (pbshow) and the Cancel button (cmdCancel); the skin and the tests find them
// by those names. It also shows the busy pointer. A run working on another
// thread may call it: what it shows is handed to the windows' thread.
class ProgressPanel : public QFrame, public ProgressView {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent = nullptr);
    ~ProgressPanel() override;

    void SetShown(bool visible) override;
    void SetBusy(bool busy) override;
    void SetStatusText(const std::string& text) override;
    void SetStatus(const Message& status) override;
    void SetPercent(const Message& percent) override;
    void SetItemText(const std::string& text) override;
    void SetPercentText(const std::string& text) override;
    void SetBarValue(int value) override;
    int BarValue() const override;
    // The item label shows what is at work, bytes done of total, the speed
    // and the time left.
    void SetByteProgress(ByteWork work, const std::string& item, std::uint64_t done,
                         std::uint64_t total) override;
    // The user asked to cancel: Cancel goes grey, the status says so.
    void ShowCancelling();
    // Work that can tell neither how far it has got nor stop early: the
    // status says what is at work and the item label on what (cut where it
    // is long, whole in its tool tip), the bar moves without a measure and
    // Cancel is grey. Showing the panel again sets it back.
    void ShowUnmeasured(const QString& status, const QString& detail);
    // Work that tells its percent (SetBarValue, SetPercentText) and stops
    // when cancelled: status and detail as above, the bar at 0, Cancel live.
    void ShowMeasured(const QString& status, const QString& detail);

signals:
    // The panel is about to be shown or hidden (the window makes room).
    void panelShown(bool visible);
    // Cancel was clicked (the button is then disabled).
    void cancelClicked();

private:
    // False (after handing call to the windows' thread) on another thread.
    bool OnOwnThread(std::function<void()> call);

    QLabel* statusLabel_;
    QLabel* itemLabel_;
    QLabel* percentLabel_;
    QProgressBar* bar_;
    QPushButton* cancelButton_; // enabled each time the panel is shown
    TransferEstimate transfer_;
    bool busy_ = false;
    std::atomic<int> value_{0};
};

} // namespace trelmig
