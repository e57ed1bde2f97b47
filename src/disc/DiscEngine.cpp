#include "disc/DiscEngine.h"

#include "core/WorkerPool.h"
#include "disc/ImageVerifier.h"
#include "disc/OpticalDevice.h"

#include <algorithm>
#include <set>

namespace trelmig {

namespace {

constexpr size_t kMostErrorsShown = 5;
// ISO_IMAGE_WRITE_CANCELED, as the message queue carries it (low bits).
constexpr int kIsoWriteCancelled = 0xFEB2;

int PercentOf(std::int64_t done, std::int64_t total) {
    if (total <= 0)
        return 0;
    return static_cast<int>(std::clamp<std::int64_t>(done * 100 / total, 0, 100));
}

} // namespace

// The verification runs in a thread of its own (a one-thread pool of the
// job's): reading back a whole disc takes minutes. Results queue up for Poll.
struct DiscEngine::VerifyJob {
    struct Outcome {
        size_t index;
        int code;
    };
    std::unique_ptr<BlockReader> reader;
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    std::mutex mutex;
    std::deque<Outcome> outcomes;
    WorkerPool worker{1}; // last: its thread ends before the members it uses

    void Run(const std::vector<DiscItem>& files, const std::set<std::string>& leftOut,
             std::uint32_t start) {
        std::unique_ptr<ImageVerifier> verifier;
        if (reader) {
            verifier = std::make_unique<ImageVerifier>(*reader, start);
            if (!verifier->Open())
                verifier.reset(); // every file then reads as unreadable on the medium
        }
        for (size_t i = 0; i < files.size() && !cancel; ++i) {
            int code = kVerifyDestinationUnreadable;
            if (leftOut.count(files[i].imagePath))
                code = kVerifySkipped;
            else if (verifier)
                code = verifier->Compare(files[i], cancel);
            if (cancel)
                break;
            std::lock_guard lock(mutex);
            outcomes.push_back({i, code});
        }
        done = true;
    }
};

DiscEngine::DiscEngine(DeviceScanner scanner) : needsLibraries_(!scanner) {
    scanner_ = scanner ? std::move(scanner) : DeviceScanner(&ScanDiscDevices);
}

DiscEngine::~DiscEngine() {
    if (verify_) {
        verify_->cancel = true;
        verify_.reset(); // waits for the verification to stop
    }
    if (device_ && phase_ != Phase::Idle) {
        // Gone before the write ended: what it wrote is not kept.
        device_->CancelWrite();
        (void)device_->EndWrite(false); // nothing of it is kept either way
    }
}

Result<void> DiscEngine::InitializeDevices(bool rescan) {
    if (!devices_.empty() && !rescan)
        return {};
    if (Writing())
        return Fail("The devices cannot be scanned again while a write runs.");
    if (needsLibraries_ && !InitializeDiscLibraries())
        return Fail("The recording libraries could not be started.");
    erasing_.clear();
    devices_ = scanner_();
    return {};
}

DiscDevice* DiscEngine::Device(int index) const {
    if (index < 0 || index >= DeviceCount())
        return nullptr;
    return devices_[static_cast<size_t>(index)].get();
}

void DiscEngine::SetEvents(DiscEngineEvents* events) {
    events_ = events;
    image_.SetEvents(events);
}

double DiscEngine::ImageSize() {
    const int key = (settings.fileSystemType & kFsJoliet) | (settings.rockRidge ? 8 : 0) |
                    (settings.recordChecksums ? 16 : 0);
    if (sizeGeneration_ == image_.Generation() && sizeKey_ == key)
        return size_;
    IsoBuildOptions options;
    options.volumeId = volumeIdentifier_;
    options.fileSystem = settings.fileSystemType;
    options.rockRidge = settings.rockRidge != 0;
    options.recordMd5 = settings.recordChecksums != 0;
    const auto measured = IsoImageBuilder::MeasureSize(image_.Entries(), options);
    // Without the library, the data alone is the best guess.
    size_ = measured ? *measured : static_cast<double>(image_.DataBytes());
    sizeGeneration_ = image_.Generation();
    sizeKey_ = key;
    return size_;
}

DiscResult<void> DiscEngine::StartWrite(DiscDevice& device) {
    if (Writing() || image_.Busy()) {
        DiscError busy;
        busy.description = "A write or an addition to the image is running.";
        return DiscFail(busy);
    }
    if (!(settings.fileSystemType & kFsIso9660)) {
        DiscError error;
        error.category = kErrorWrite;
        error.description = "A disc with UDF alone cannot be written here: choose ISO9660 or "
                            "one of the bridge formats (they write ISO9660 and Joliet, without "
                            "UDF).";
        RaiseError(error);
        return DiscFail(error);
    }
    device_ = &device;
    phase_ = Phase::Preparing;
    cancelRequested_ = false;
    lastState_ = -1;
    lastProgress_ = -1;
    files_.clear();
    leftOut_.clear();
    messages_.clear();
    return {};
}

void DiscEngine::CancelWrite() {
    if (!Writing() || cancelRequested_)
        return;
    cancelRequested_ = true;
    if (phase_ == Phase::Writing)
        device_->CancelWrite();
    else if (phase_ == Phase::Verifying && verify_)
        verify_->cancel = true;
}

void DiscEngine::Poll() {
    // Handlers show modal messages whose event loops call Poll again.
    if (polling_)
        return;
    polling_ = true;
    CollectMessages();
    PollErase();
    switch (phase_) {
    case Phase::Idle:
        if (erasing_.empty())
            messages_.clear();
        break;
    case Phase::Preparing:
        Prepare();
        break;
    case Phase::Writing:
        PollWriting();
        break;
    case Phase::Verifying:
        PollVerifying();
        break;
    }
    polling_ = false;
}

void DiscEngine::CollectMessages() {
    for (auto& message : TakeLibraryMessages())
        messages_.push_back(std::move(message));
}

void DiscEngine::Prepare() {
    if (events_)
        events_->WriteState(kWritePreparing, 0);
    if (cancelRequested_)
        return Finish(kWriteCancelled);
    IsoBuildOptions options;
    options.volumeId = volumeIdentifier_;
    options.fileSystem = settings.fileSystemType;
    options.rockRidge = settings.rockRidge != 0;
    options.recordMd5 = settings.recordChecksums != 0;
    options.useFileDates = settings.useFileDates;
    startBlock_ = device_->NextWritableBlock();
    options.startBlock = startBlock_;
    IsoImageBuilder builder(options);
    const auto entries = image_.Entries();
    std::vector<DiscItem> leftOut;
    bool stoppedByUser = false;
    const auto built = builder.Build(
        entries,
        [&](const FileErrorInfo& info) {
            const bool goOn = !events_ || events_->FileWarning(info);
            stoppedByUser = !goOn;
            return goOn;
        },
        leftOut);
    if (!built || cancelRequested_) {
        if (stoppedByUser || cancelRequested_)
            return Finish(kWriteCancelled);
        DiscError error;
        error.category = kErrorSystem;
        error.description = built.error().message;
        RaiseError(error);
        return Finish(kWriteError);
    }
    for (const auto& entry : entries)
        if (!entry.isFolder)
            files_.push_back(entry);
    for (const auto& entry : leftOut)
        leftOut_.push_back(entry.imagePath);

    CollectMessages();
    messages_.clear(); // what the libraries said before this write began
    const auto stream = builder.CreateStream();
    if (!stream) {
        DiscError error;
        error.category = kErrorSystem;
        error.description = stream.error().message;
        RaiseError(error);
        return Finish(kWriteError);
    }
    WriteOptions write;
    write.speed = settings.writeSpeed;
    write.writeMode = settings.writeMode;
    write.testWrite = settings.testWrite;
    write.finalize = settings.finalizeDisc;
    write.bufferProtection = settings.bufferProtection;
    write.cacheImage = settings.cacheImage;
    if (auto begun = device_->BeginWrite(*stream, write); !begun) {
        RaiseError(begun.error());
        return Finish(kWriteError);
    }
    phase_ = Phase::Writing;
    if (events_)
        events_->TrackStatus(1, static_cast<long>(files_.size() - leftOut_.size()),
                             FileSystemDescription(settings.fileSystemType));
}

void DiscEngine::PollWriting() {
    const DeviceProgress progress = device_->WriteProgress();
    if (!progress.finished) {
        using A = DeviceProgress::Activity;
        int state = -1;
        int value = 0;
        switch (progress.activity) {
        case A::Writing:
            state = kWriteProgress;
            value = PercentOf(progress.done, progress.total);
            break;
        case A::Formatting:
            state = kWriteFormatting;
            value = PercentOf(progress.done, progress.total);
            break;
        case A::Starting:
            state = kWriteBuffering;
            break;
        case A::LeadIn:
            state = kWriteLeadIn;
            break;
        case A::LeadOut:
            state = kWriteLeadOut;
            break;
        case A::Pregap:
            state = kWritePregap;
            break;
        case A::ClosingTrack:
            state = kWriteClosingTrack;
            break;
        case A::ClosingSession:
            state = kWriteUpdatingVolume;
            break;
        default:
            break;
        }
        if (state >= 0 && (state != lastState_ || value != lastProgress_) && events_)
            events_->WriteState(state, value);
        if (state >= 0) {
            lastState_ = state;
            lastProgress_ = value;
        }
        return;
    }
    // A write that was cancelled or failed is thrown away; that it could not
    // be is no news beside the failure itself.
    if (cancelRequested_) {
        (void)device_->EndWrite(false);
        return Finish(kWriteCancelled);
    }
    CollectMessages();
    const auto errors = ErrorsOfMessages();
    const bool sourceFailed = std::any_of(errors.begin(), errors.end(), [](const DiscError& e) {
        return e.category == kErrorSourceFile;
    });
    if (!progress.succeeded || sourceFailed) {
        for (const auto& error : errors)
            RaiseError(error);
        if (errors.empty()) {
            DiscError error;
            error.category = kErrorWrite;
            error.description = "The write did not complete.";
            RaiseError(error);
        }
        (void)device_->EndWrite(false);
        return Finish(kWriteError);
    }
    if (events_ && lastProgress_ < 100)
        events_->WriteState(kWriteProgress, 100);
    if (settings.autoVerify && !settings.testWrite)
        return StartVerifying();
    CompleteWrite();
}

void DiscEngine::StartVerifying() {
    phase_ = Phase::Verifying;
    if (events_)
        events_->VerifyStart(static_cast<long>(files_.size()));
    verify_ = std::make_unique<VerifyJob>();
    // A medium that cannot be read back verifies as unreadable, file by file.
    if (auto reader = device_->OpenWritten())
        verify_->reader = std::move(*reader);
    const std::set<std::string> leftOut(leftOut_.begin(), leftOut_.end());
    verify_->worker.Submit([job = verify_.get(), files = files_, leftOut, start = startBlock_] {
        try {
            job->Run(files, leftOut, start);
        } catch (...) {
            job->done = true; // Poll ends the verification with what it has
            throw;
        }
    });
}

void DiscEngine::PollVerifying() {
    std::deque<VerifyJob::Outcome> outcomes;
    {
        std::lock_guard lock(verify_->mutex);
        outcomes.swap(verify_->outcomes);
    }
    const long total = static_cast<long>(files_.size());
    for (const auto& outcome : outcomes) {
        if (outcome.code == kVerifyMatched)
            ++verifyMatched_;
        ++verifyChecked_;
        if (events_)
            events_->VerifyResult(files_[outcome.index], outcome.code,
                                  static_cast<long>(outcome.index) + 1, total);
    }
    if (!verify_->done)
        return;
    {
        std::lock_guard lock(verify_->mutex);
        if (!verify_->outcomes.empty())
            return; // the last results come with the next poll
    }
    verify_.reset(); // its thread has ended the job already
    if (cancelRequested_) {
        (void)device_->EndWrite(false);
        return Finish(kWriteCancelled);
    }
    if (events_)
        events_->VerifyDone(verifyChecked_, verifyMatched_);
    CompleteWrite();
}

void DiscEngine::CompleteWrite() {
    if (events_)
        events_->WriteState(kWriteUpdatingVolume, 100);
    if (auto ended = device_->EndWrite(true); !ended) {
        RaiseError(ended.error());
        return Finish(kWriteError);
    }
    Finish(kWriteCompleted);
}

void DiscEngine::Finish(int state) {
    phase_ = Phase::Idle;
    device_ = nullptr;
    cancelRequested_ = false;
    verifyChecked_ = 0;
    verifyMatched_ = 0;
    if (events_)
        events_->WriteState(state, state == kWriteCompleted ? 100 : 0);
}

void DiscEngine::RaiseError(const DiscError& error) {
    if (events_)
        events_->Error(error);
}

std::vector<DiscError> DiscEngine::ErrorsOfMessages() const {
    std::vector<DiscError> errors;
    std::string failedFile;
    size_t dropped = 0;
    auto add = [&](DiscError error) {
        if (errors.size() < kMostErrorsShown)
            errors.push_back(std::move(error));
        else
            ++dropped;
    };
    for (const auto& m : messages_) {
        if (m.fromIsofs && m.severity == "ERRFILE") {
            failedFile = m.text;
            continue;
        }
        if (!IsErrorSeverity(m.severity) ||
            (m.fromIsofs && (m.code & 0xffff) == kIsoWriteCancelled))
            continue; // libisofs' echo of a write libburn gave up
        DiscError error;
        error.description = m.text;
        if (m.fromIsofs && !failedFile.empty()) {
            error.category = kErrorSourceFile;
            error.file = {m.code & 0xffff, m.text, failedFile};
            failedFile.clear();
        } else if (m.fromIsofs) {
            error.category = kErrorWrite;
        } else if (device_ && device_->IsImageFile()) {
            error.category = kErrorOutputFile;
            error.file = {m.osErrno, m.text, device_->TargetFile()};
        } else {
            error.category = kErrorDevice;
            error.device = {m.code, m.text, device_ ? device_->Name() : "",
                            m.severity +
                                (m.osErrno ? ", system error " + std::to_string(m.osErrno) : "")};
        }
        add(std::move(error));
    }
    if (dropped > 0) {
        DiscError more;
        more.category = kErrorWrite;
        more.description = std::to_string(dropped) + " more errors were reported.";
        errors.push_back(more);
    }
    return errors;
}

void DiscEngine::PollErase() {
    for (const auto& device : devices_) {
        const DeviceProgress progress = device->EraseProgress();
        if (progress.activity == DeviceProgress::Activity::Idle && !progress.finished)
            continue;
        EraseTrack& track = erasing_[device.get()];
        const int percent = progress.finished ? 100 : PercentOf(progress.done, progress.total);
        if (!track.announced) {
            track.announced = true;
            track.lastPercent = percent;
            messages_.clear(); // said before this erase began
            if (eraseEvents_)
                eraseEvents_->EraseState(kEraseStarted, progress.finished ? 0 : percent);
        } else if (!progress.finished && percent != track.lastPercent) {
            track.lastPercent = percent;
            if (eraseEvents_)
                eraseEvents_->EraseState(kEraseProgress, percent);
        }
        if (!progress.finished)
            continue;
        erasing_.erase(device.get());
        if (!eraseEvents_)
            continue;
        if (progress.succeeded) {
            eraseEvents_->EraseState(kEraseFinished, 100);
            continue;
        }
        CollectMessages();
        const auto failure =
            std::find_if(messages_.begin(), messages_.end(),
                         [](const LibraryMessage& m) { return IsErrorSeverity(m.severity); });
        if (failure != messages_.end())
            eraseEvents_->DeviceError(
                {failure->code, failure->text, device->Name(), failure->severity});
        else
            eraseEvents_->EraseState(kEraseFailed, percent);
    }
}

} // namespace trelmig
