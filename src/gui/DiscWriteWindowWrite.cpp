// The disc window's write side: the checks before a write, the settings sent
// to the engine, cancelling, and the write and verify events.

#include "gui/DiscWriteWindow.h"

#include "core/Prompter.h"
#include "disc/DiscTexts.h"
#include "gui/ByteProgressText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>

#include <algorithm>

namespace trelmig {

bool DiscWriteWindow::CheckMediaSpace() {
    DiscMedia media;
    if (device_) {
        device_->RefreshMedia(true);
        media = device_->Media();
    }
    if (media.type == kMediaNone || !media.writable) {
        prompter_.Show(tr("Please Insert Writable Media before continuing!").toStdString(),
                       MessageIcon::Information);
        return false;
    }
    const double freeBytes =
        static_cast<double>(device_->FreeBlocks(true)) * engine_->BytesPerBlock();
    const double neededBytes = engine_->ImageSize();
    if (freeBytes >= neededBytes)
        return true;
    prompter_.Show(MediaSpaceMessage(freeBytes, neededBytes, LocaleSeparators()),
                   MessageIcon::Information);
    return false;
}

void DiscWriteWindow::onWriteDiscClicked() {
    // A disc or image without files would only look like a backup.
    if (engine_->Image().FileCount() == 0) {
        prompter_.Show(tr("There is nothing to write: add the files or folders to back up first "
                          "(File > Add Files... or Add Folder..., or drop them on the window).")
                           .toStdString(),
                       MessageIcon::Exclamation);
        return;
    }
    if (device_ && device_->IsImageFile()) {
        // The image file device writes where the user says, asked each time.
        QString suggestion = QString::fromStdString(device_->TargetFile());
        if (suggestion.isEmpty())
            suggestion = QDir::home().filePath(volumeLabelEdit_->text() + QStringLiteral(".iso"));
        const QString chosen = chooseImageFile ? chooseImageFile(suggestion) : QString();
        if (chosen.isEmpty())
            return;
        device_->SetTargetFile(chosen.toStdString());
    }
    if (!CheckMediaSpace())
        return;
    DiscSettings& settings = engine_->settings;
    engine_->SetVolumeIdentifier(volumeLabelEdit_->text().toStdString());
    settings.recordChecksums = 1;
    settings.writeSpeed = static_cast<long>(writeSpeedCombo_->currentData().toLongLong());
    settings.fileSystemType = fileSystemCombo_->currentData().toInt();
    settings.autoVerify = autoVerifyBox_->isChecked();
    settings.mode2XA = mode2XaBox_->isChecked();
    settings.cacheImage = cacheImageBox_->isChecked();
    settings.testWrite = testWriteBox_->isChecked();
    settings.finalizeDisc = finalizeDiscBox_->isChecked();
    settings.bufferProtection = bufferProtectionBox_->isChecked();
    settings.writeMode = discAtOnceBox_->isChecked() ? kWriteModeDiscAtOnce : kWriteModeTrackAtOnce;
    if (engine_->StartWrite(*device_))
        SetControlsEnabled(false);
    else
        prompter_.Show(tr("Disc Write could not be started.").toStdString(), MessageIcon::Critical);
}

void DiscWriteWindow::onCancelClicked() {
    engine_->CancelWrite();
    statusLabel_->setText(tr("Aborting Write...Please Wait!"));
}

void DiscWriteWindow::WriteState(int state, int progress) {
    if (const auto text = WriteStateText(state))
        statusLabel_->setText(QString::fromStdString(*text));
    if (WriteStateMovesProgress(state))
        progressBar_->setValue(progress);
    if (state == kWriteProgress)
        ShowWrittenBytes(progress);
    switch (state) {
    case kWriteCompleted:
        prompter_.Show(WriteCompletedMessage(engine_->settings.autoVerify),
                       MessageIcon::Information);
        SetControlsEnabled(true);
        break;
    case kWriteCancelled:
        prompter_.Show(tr("Write Cancelled!").toStdString(), MessageIcon::Information);
        SetControlsEnabled(true);
        break;
    case kWriteError:
        SetControlsEnabled(true);
        break;
    default:
        break;
    }
}

void DiscWriteWindow::ShowWrittenBytes(int percent) {
    // The engine counts in percent of the image; the image's size gives the bytes.
    const std::uint64_t total = engine_->Image().DataBytes();
    const std::uint64_t done =
        total / 100 * static_cast<std::uint64_t>(std::clamp(percent, 0, 100));
    const auto now = TransferEstimate::Clock::now();
    if (!written_.Started() || done < written_.Done() || written_.Total() != total)
        written_.Start(total, now);
    written_.Update(done, now);
    statusLabel_->setText(ByteProgressText(ByteWork::Writing, volumeLabelEdit_->text(), done, total,
                                           written_.BytesPerSecond(), written_.TimeLeft(),
                                           locale()));
}

void DiscWriteWindow::TrackStatus(int track, long count, const std::string& text) {
    statusLabel_->setText(QString::fromStdString(TrackStatusText(track, count, text)));
}

bool DiscWriteWindow::FileWarning(const FileErrorInfo& info) {
    // The write goes on without the file whichever button is pressed.
    prompter_.Show(FileWarningText(info), MessageIcon::Exclamation, MessageButtons::OkCancel);
    statusLabel_->setText(tr("File Warning!"));
    return true;
}

void DiscWriteWindow::Error(const DiscError& error) {
    prompter_.Show(EngineErrorText(error), MessageIcon::Critical);
}

void DiscWriteWindow::VerifyStart(long fileCount) {
    statusLabel_->setText(QString::fromStdString(VerifyStartText(fileCount)));
}

void DiscWriteWindow::VerifyResult(const DiscItem& item, int code, long index, long total) {
    if (const auto message = VerifyMessage(code, item))
        prompter_.Show(*message, MessageIcon::None);
    statusLabel_->setText(QString::fromStdString(VerifyStepText(item.imagePath)));
    progressBar_->setValue(VerifyProgress(index, total));
}

void DiscWriteWindow::VerifyDone(long checked, long matched) {
    statusLabel_->setText(QString::fromStdString(VerifyDoneText(checked, matched)));
}

} // namespace trelmig
