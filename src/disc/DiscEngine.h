#pragma once

#include "core/Error.h"
#include "disc/BurnLibrary.h"
#include "disc/DiscDevice.h"
#include "disc/DiscEvents.h"
#include "disc/DiscImage.h"
#include "disc/DiscTypes.h"
#include "disc/IsoImageBuilder.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace trelmig {

// The engine's settings, sent by the disc window before a write.
struct DiscSettings {
    int fileSystemType = kFsIso9660 | kFsJoliet | kFsUdf;
    long writeSpeed = 0; // the device's speed value, 0 = maximum
    bool autoVerify = false;
    bool mode2XA = false; // libburn writes data tracks in Mode 1; kept for the window
    bool cacheImage = false;
    bool testWrite = false;
    bool finalizeDisc = false;
    bool bufferProtection = false;
    bool useFileDates = true;
    int writeMode = kWriteModeTrackAtOnce;
    int rockRidge = 1;       // the window sets it to 1 at load
    int recordChecksums = 1; // the window sets it to 1 before each write
};

// The recording engine of the disc window: devices, the image being
// composed, and the write with its verification. Start calls return at
// once; the work goes on in libburn's and the verifier's threads and is
// reported by events that Poll raises, on the caller's thread. Poll is meant
// to be called by a timer of the user-interface thread.
class DiscEngine {
public:
    using DeviceScanner = std::function<std::vector<std::unique_ptr<DiscDevice>>()>;

    // Without a scanner: the drives libburn finds and the image file device.
    explicit DiscEngine(DeviceScanner scanner = {});
    ~DiscEngine();
    DiscEngine(const DiscEngine&) = delete;
    DiscEngine& operator=(const DiscEngine&) = delete;

    // Control level. Fails while a write runs or when the recording
    // libraries cannot be started.
    Result<void> InitializeDevices(bool rescan);
    int DeviceCount() const { return static_cast<int>(devices_.size()); }
    DiscDevice* Device(int index) const;
    void SetEvents(DiscEngineEvents* events);
    void SetEraseEvents(DiscEraseEvents* events) { eraseEvents_ = events; }

    // Engine object.
    DiscImage& Image() { return image_; }
    void SetVolumeIdentifier(const std::string& id) { volumeIdentifier_ = id; }
    const std::string& VolumeIdentifier() const { return volumeIdentifier_; }
    DiscSettings settings;
    int BytesPerBlock() const { return kBytesPerBlock; }
    // What the image takes on the medium, in bytes, with the current settings.
    double ImageSize();

    // Accepts the write when the file-system type can be written and no
    // other write or addition runs; the write itself begins at the next Poll.
    // A refused file-system type is raised as an Error event as well.
    DiscResult<void> StartWrite(DiscDevice& device);
    void CancelWrite();
    bool Writing() const { return phase_ != Phase::Idle; }
    void Poll();

private:
    enum class Phase { Idle, Preparing, Writing, Verifying };
    struct VerifyJob;
    struct EraseTrack {
        int lastPercent = -1;
        bool announced = false;
    };

    void Prepare();
    void PollWriting();
    void StartVerifying();
    void PollVerifying();
    void CompleteWrite();
    void Finish(int state);
    void RaiseError(const DiscError& error);
    std::vector<DiscError> ErrorsOfMessages() const;
    void PollErase();
    void CollectMessages();

    DeviceScanner scanner_;
    bool needsLibraries_; // the scanner is libburn's
    std::vector<std::unique_ptr<DiscDevice>> devices_;
    DiscEngineEvents* events_ = nullptr;
    DiscEraseEvents* eraseEvents_ = nullptr;
    DiscImage image_;
    std::string volumeIdentifier_;

    Phase phase_ = Phase::Idle;
    DiscDevice* device_ = nullptr;
    bool cancelRequested_ = false;
    bool polling_ = false;
    int lastState_ = -1;
    int lastProgress_ = -1;
    std::vector<DiscItem> files_;      // the files of the image being written
    std::vector<std::string> leftOut_; // image paths of files the write leaves out
    std::uint32_t startBlock_ = 0;
    std::unique_ptr<VerifyJob> verify_;
    long verifyChecked_ = 0;
    long verifyMatched_ = 0;
    std::vector<LibraryMessage> messages_;
    std::map<DiscDevice*, EraseTrack> erasing_;

    std::uint64_t sizeGeneration_ = ~0ull;
    int sizeKey_ = -1;
    double size_ = 0;
};

} // namespace trelmig
