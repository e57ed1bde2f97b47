#include "gui/EraseDiscDialog.h"

#include "core/Prompter.h"
#include "disc/DiscEngine.h"
#include "disc/DiscTexts.h"
#include "gui/ObjectNames.h"
#include "gui/Skin.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace trelmig {

namespace {

constexpr int kPollMilliseconds = 100;

// The rewritable formats the window erases: the capability the device must
// have and the media type it must hold, in the order they are tried.
struct ErasePair {
    int capability;
    int mediaType;
};
constexpr ErasePair kErasePairs[] = {
    {kCapEraseDvdRwOverwrite, kMediaDvdRwOverwrite}, // 17, 253
    {kCapEraseDvdRw, kMediaDvdRw},                   // 19, 4
    {kCapEraseCdRw, kMediaCdRw},                     // 22, 1
    {kCapEraseDvdPlusRw, kMediaDvdPlusRw},           // 23, 9
    {kCapEraseBdRe, kMediaBdRe},                     // 27, 15
};

} // namespace

EraseDiscDialog::EraseDiscDialog(Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    setWindowTitle(tr("Erase Re-Writable CD/DVD"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    quickEraseBox_ =
        named(new QCheckBox(QStringLiteral("Perform Quick Erase"), this), "chkQuikErase");
    quickEraseBox_->setChecked(true);
    layout->addWidget(quickEraseBox_);
    statusLabel_ = named(new QLabel(this), "lblStatus");
    statusLabel_->setMinimumWidth(320);
    layout->addWidget(statusLabel_);
    progressBar_ = named(new QProgressBar(this), "prgEraseProgress");
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    layout->addWidget(progressBar_);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    eraseButton_ = named(new QPushButton(tr("&Erase"), this), "cmdErase");
    cancelButton_ = named(new QPushButton(tr("&Cancel"), this), "cmdCancel");
    eraseButton_->setAutoDefault(false);
    cancelButton_->setAutoDefault(false);
    buttons->addWidget(eraseButton_);
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);
    connect(eraseButton_, &QPushButton::clicked, this, [this] { onEraseClicked(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { onCancelClicked(); });
    ApplySkin(this);
}

EraseDiscDialog::~EraseDiscDialog() {
    Release();
}

void EraseDiscDialog::Prepare(DiscDevice* device, DiscEngine& engine) {
    device_ = device;
    engine_ = &engine;
    engine_->SetEraseEvents(this);
    SetButtonsEnabled(true);
    erasing_ = false;
    // The engine reports the erase from its poll; the disc window's timer
    // may be the one that runs it, or this one.
    if (!pollTimer_) {
        pollTimer_ = new QTimer(this);
        connect(pollTimer_, &QTimer::timeout, this, [this] {
            if (engine_)
                engine_->Poll();
        });
    }
    pollTimer_->start(kPollMilliseconds);
}

void EraseDiscDialog::ShowErase(DiscDevice* device, DiscEngine& engine) {
    Prepare(device, engine);
    exec();
}

void EraseDiscDialog::SetButtonsEnabled(bool enabled) {
    eraseButton_->setEnabled(enabled);
    cancelButton_->setEnabled(enabled);
}

void EraseDiscDialog::Release() {
    if (pollTimer_)
        pollTimer_->stop();
    if (engine_)
        engine_->SetEraseEvents(nullptr);
    engine_ = nullptr;
    device_ = nullptr;
}

void EraseDiscDialog::onEraseClicked() {
    DiscMedia media;
    if (device_) {
        device_->RefreshMedia(false);
        media = device_->Media();
    }
    if (media.type == kMediaNone) {
        prompter_.Show(tr("No Media Loaded.").toStdString(), MessageIcon::Information);
        close();
        return;
    }
    if (!media.rewritable) {
        prompter_.Show(tr("The current media is not re-writable.").toStdString(),
                       MessageIcon::Information);
        close();
        return;
    }
    bool supported = false;
    for (const auto& pair : kErasePairs) {
        if (device_->Capability(pair.capability) && media.type == pair.mediaType) {
            supported = true;
            break;
        }
    }
    if (!supported) {
        prompter_.Show(
            tr("Selected drive does not support re-writable discs of this format.").toStdString(),
            MessageIcon::Information);
        close();
        return;
    }
    const long value = device_->EraseValue();
    if (!device_->Erase(quickEraseBox_->isChecked(), value)) {
        prompter_.Show(tr("Could not start Erase operation!!!").toStdString(),
                       MessageIcon::Critical);
        close();
    }
}

void EraseDiscDialog::onCancelClicked() {
    close();
}

void EraseDiscDialog::reject() {
    if (erasing_)
        return;
    Release();
    QDialog::reject();
}

void EraseDiscDialog::closeEvent(QCloseEvent* event) {
    if (erasing_) {
        event->ignore();
        return;
    }
    Release();
    QDialog::closeEvent(event);
}

void EraseDiscDialog::EraseState(int state, int percent) {
    switch (state) {
    case kEraseStarted:
        erasing_ = true;
        statusLabel_->setText(tr("Erasing Disc...Please Wait!!"));
        SetButtonsEnabled(false);
        progressBar_->setValue(percent);
        break;
    case kEraseProgress:
        progressBar_->setValue(percent);
        break;
    case kEraseFinished:
        statusLabel_->setText(tr("Erase operation complete!!!"));
        prompter_.Show(tr("Erase Completed!!!").toStdString(), MessageIcon::Information);
        SetButtonsEnabled(true);
        erasing_ = false;
        close();
        break;
    case kEraseFailed:
        statusLabel_->setText(tr("Error Erasing Disc!!!"));
        SetButtonsEnabled(true);
        erasing_ = false;
        close();
        break;
    default:
        break;
    }
}

void EraseDiscDialog::DeviceError(const DeviceErrorInfo& info) {
    prompter_.Show(EraseDeviceErrorText(info), MessageIcon::Critical);
    SetButtonsEnabled(true);
    erasing_ = false;
}

} // namespace trelmig
