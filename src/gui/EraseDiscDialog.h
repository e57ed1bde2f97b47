#pragma once

#include "disc/DiscEvents.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace trelmig {

class DiscDevice;
class DiscEngine;
class Prompter;

// "Erase Re-Writable CD/DVD": blanks the rewritable medium in the disc
// window's device, with the disc window's engine.
class EraseDiscDialog : public QDialog, private DiscEraseEvents {
    Q_OBJECT
public:
    explicit EraseDiscDialog(Prompter& prompter, QWidget* parent = nullptr);
    ~EraseDiscDialog() override;

    // Takes the device and the engine and shows the window modally.
    void ShowErase(DiscDevice* device, DiscEngine& engine);
    // The part of ShowErase before the window shows (for a window shown
    // another way).
    void Prepare(DiscDevice* device, DiscEngine& engine);
    bool Erasing() const { return erasing_; }

    void onEraseClicked();
    void onCancelClicked();
    void reject() override;

    // Engine events.
    void EraseState(int state, int percent) override;
    void DeviceError(const DeviceErrorInfo& info) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void SetButtonsEnabled(bool enabled);
    void Release();

    QCheckBox* quickEraseBox_ = nullptr;
    QPushButton* eraseButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;

    Prompter& prompter_;
    DiscDevice* device_ = nullptr;
    DiscEngine* engine_ = nullptr;
    bool erasing_ = false;
    QTimer* pollTimer_ = nullptr;
};

} // namespace trelmig
