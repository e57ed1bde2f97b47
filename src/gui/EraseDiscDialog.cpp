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
    chkQuikErase =
        named(new QCheckBox(QStringLiteral("Perform Quick Erase"), this), "chkQuikErase");
    chkQuikErase->setChecked(true);
    layout->addWidget(chkQuikErase);
    lblStatus = named(new QLabel(this), "lblStatus");
    lblStatus->setMinimumWidth(320);
    layout->addWidget(lblStatus);
    prgEraseProgress = named(new QProgressBar(this), "prgEraseProgress");
    prgEraseProgress->setRange(0, 100);
    prgEraseProgress->setValue(0);
    layout->addWidget(prgEraseProgress);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    cmdErase = named(new QPushButton(QStringLiteral("&Erase"), this), "cmdErase");
    cmdCancel = named(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel");
    cmdErase->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    buttons->addWidget(cmdErase);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdErase, &QPushButton::clicked, this, [this] { onEraseClicked(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { onCancelClicked(); });
    ApplySkin(this);
}

EraseDiscDialog::~EraseDiscDialog() {
    Release();
}

void EraseDiscDialog::Prepare(DiscDevice* device, DiscEngine& engine) {
    mobjDevice = device;
    mobjEngine = &engine;
    mobjEngine->SetEraseEvents(this);
    SetButtonsEnabled(true);
    mbErasing = false;
    // The engine reports the erase from its poll; the disc window's timer
    // may be the one that runs it, or this one.
    if (!pollTimer_) {
        pollTimer_ = new QTimer(this);
        connect(pollTimer_, &QTimer::timeout, this, [this] {
            if (mobjEngine)
                mobjEngine->Poll();
        });
    }
    pollTimer_->start(kPollMilliseconds);
}

void EraseDiscDialog::ShowErase(DiscDevice* device, DiscEngine& engine) {
    Prepare(device, engine);
    exec();
}

void EraseDiscDialog::SetButtonsEnabled(bool enabled) {
    cmdErase->setEnabled(enabled);
    cmdCancel->setEnabled(enabled);
}

void EraseDiscDialog::Release() {
    if (pollTimer_)
        pollTimer_->stop();
    if (mobjEngine)
        mobjEngine->SetEraseEvents(nullptr);
    mobjEngine = nullptr;
    mobjDevice = nullptr;
}

void EraseDiscDialog::onEraseClicked() {
    DiscMedia media;
    if (mobjDevice) {
        mobjDevice->RefreshMedia(false);
        media = mobjDevice->Media();
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
        if (mobjDevice->Capability(pair.capability) && media.type == pair.mediaType) {
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
    const long value = mobjDevice->EraseValue();
    if (!mobjDevice->Erase(chkQuikErase->isChecked(), value)) {
        prompter_.Show(tr("Could not start Erase operation!!!").toStdString(),
                       MessageIcon::Critical);
        close();
    }
}

void EraseDiscDialog::onCancelClicked() {
    close();
}

void EraseDiscDialog::reject() {
    if (mbErasing)
        return;
    Release();
    QDialog::reject();
}

void EraseDiscDialog::closeEvent(QCloseEvent* event) {
    if (mbErasing) {
        event->ignore();
        return;
    }
    Release();
    QDialog::closeEvent(event);
}

void EraseDiscDialog::EraseState(int state, int percent) {
    switch (state) {
    case kEraseStarted:
        mbErasing = true;
        lblStatus->setText(tr("Erasing Disc...Please Wait!!"));
        SetButtonsEnabled(false);
        prgEraseProgress->setValue(percent);
        break;
    case kEraseProgress:
        prgEraseProgress->setValue(percent);
        break;
    case kEraseFinished:
        lblStatus->setText(tr("Erase operation complete!!!"));
        prompter_.Show(tr("Erase Completed!!!").toStdString(), MessageIcon::Information);
        SetButtonsEnabled(true);
        mbErasing = false;
        close();
        break;
    case kEraseFailed:
        lblStatus->setText(tr("Error Erasing Disc!!!"));
        SetButtonsEnabled(true);
        mbErasing = false;
        close();
        break;
    default:
        break;
    }
}

void EraseDiscDialog::DeviceError(const DeviceErrorInfo& info) {
    prompter_.Show(EraseDeviceErrorText(info), MessageIcon::Critical);
    SetButtonsEnabled(true);
    mbErasing = false;
}

} // namespace trelmig
