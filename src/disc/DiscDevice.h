#pragma once

#include "disc/DiscTypes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct burn_source; // libisofs' image stream, handed to libburn

namespace trelmig {

// How the device writes the image; filled by the engine from its settings.
struct WriteOptions {
    long speed = 0; // the device's own speed value, 0 = maximum
    int writeMode = kWriteModeTrackAtOnce;
    bool testWrite = false;
    bool finalize = false;
    bool bufferProtection = false;
    bool cacheImage = false; // a large buffer between the image and the drive
};

// What a running write or erase looks like from outside.
struct DeviceProgress {
    enum class Activity {
        Idle,
        Starting,
        Writing,
        LeadIn,
        LeadOut,
        Pregap,
        ClosingTrack,
        ClosingSession,
        Formatting,
        Erasing
    };
    Activity activity = Activity::Idle;
    bool finished = false;  // the operation has ended ...
    bool succeeded = false; // ... and this is how
    int track = 0;          // from 1
    std::int64_t done = 0;  // sectors (writing) or progress units (erasing)
    std::int64_t total = 0;
};

// Reads 2048-byte blocks of what the device holds.
class BlockReader {
public:
    virtual ~BlockReader() = default;
    // Reads count blocks from lba on; returns the number of blocks read.
    virtual std::int64_t ReadBlocks(std::uint32_t lba, std::uint32_t count, char* buffer) = 0;
};

// A recording device: a drive, or the image file. Calls return at once; a
// write or erase runs on in the library's thread and is followed by Poll.
class DiscDevice {
public:
    virtual ~DiscDevice() = default;

    virtual std::string Name() const = 0;
    virtual bool Compatible() const = 0;
    virtual bool Capability(int code) = 0;
    virtual void RefreshMedia(bool force) = 0;
    virtual DiscMedia Media() const = 0;
    virtual long FreeBlocks(bool force) = 0;
    virtual int SpeedCount() const = 0;
    virtual long Speed(int index) const = 0;
    virtual double SpeedMultiple(long speed) const = 0;
    // A value the erase call takes back unchanged: the speed to blank at.
    virtual long EraseValue() const { return 0; }
    virtual bool Erase(bool quick, long value) = 0;
    virtual void Eject() = 0;
    virtual void CloseTray() = 0;

    // The image file device writes to a file the user names.
    virtual bool IsImageFile() const { return false; }
    virtual void SetTargetFile(const std::string& /*path*/) {}
    virtual std::string TargetFile() const { return {}; }

    // Where the next session begins: 0 on a blank or overwriteable medium.
    virtual std::uint32_t NextWritableBlock() { return 0; }
    // Starts writing the image stream (the device takes it over, also when
    // the write cannot start).
    virtual DiscResult<void> BeginWrite(::burn_source* image, const WriteOptions& options) = 0;
    virtual DeviceProgress WriteProgress() = 0;
    virtual void CancelWrite() = 0;
    // Reads back what the finished write put on the medium.
    virtual DiscResult<std::unique_ptr<BlockReader>> OpenWritten() = 0;
    // Ends a write: keep = the written image stays (the image file takes its
    // name); otherwise what was written is thrown away where that is possible.
    virtual DiscResult<void> EndWrite(bool keep) = 0;
    virtual DeviceProgress EraseProgress() = 0;
    // An error the device met since it was last asked.
    virtual std::optional<DiscError> TakeError() { return std::nullopt; }
};

} // namespace trelmig
