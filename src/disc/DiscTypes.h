#pragma once

#include "core/Error.h"

#include <cstdint>
#include <string>

namespace trelmig {

// The codes and values the disc window and the engine share. They are part of
// the engine's contract: the window decides by them.

// Write-state event codes.
enum WriteState : int {
    kWritePreparing = 0,  // building the image
    kWriteProgress = 1,   // writing data, value = percent
    kWriteFormatting = 2, // medium being formatted before the data, value = percent
    kWriteBuffering = 3,  // waiting for the drive, value = percent
    kWriteClosingTrack = 4,
    kWriteLeadIn = 5,
    kWriteLeadOut = 6,
    kWritePregap = 7,
    kWriteUpdatingVolume = 8, // closing the session / putting the image file in place
    kWriteCompleted = 9,
    kWriteCancelled = 10,
    kWriteError = 11,
};

// Verify-result codes.
enum VerifyResult : int {
    kVerifySourceUnreadable = 0,
    kVerifyDestinationUnreadable = 1,
    kVerifyContentMismatch = 2,
    kVerifyMatched = 3,
    kVerifySkipped = 4, // left out of the image when the write began
    kVerifySizeMismatch = 5,
};

// Error categories of the error object; any other value is a write error.
enum ErrorCategory : int {
    kErrorDevice = 1,
    kErrorOutputFile = 2,
    kErrorSourceFile = 3,
    kErrorWrite = 4,
    kErrorSystem = 5,
};

// Erase-state event codes.
enum EraseState : int {
    kEraseStarted = 0,
    kEraseProgress = 1,
    kEraseFinished = 2,
    kEraseFailed = 3,
};

// Capability codes of the device's capability query.
enum Capability : int {
    kCapEraseDvdRwOverwrite = 17,
    kCapEraseDvdRw = 19,
    kCapEraseCdRw = 22,
    kCapEraseDvdPlusRw = 23,
    kCapEraseBdRe = 27,
    kCapBufferUnderrunProtection = 57,
};

// Media type codes (0 = no medium). MediaProfiles.cpp maps the drive's
// profiles onto them.
enum MediaType : int {
    kMediaNone = 0,
    kMediaCdRw = 1,
    kMediaCdR = 2,
    kMediaCdRom = 3,
    kMediaDvdRw = 4, // sequential recording
    kMediaDvdR = 5,
    kMediaDvdRom = 6,
    kMediaDvdRam = 7,
    kMediaDvdPlusR = 8,
    kMediaDvdPlusRw = 9,
    kMediaDvdPlusRDl = 10,
    kMediaDvdRDl = 11,
    kMediaBdRom = 12,
    kMediaBdR = 13,
    kMediaBdRe = 15,
    kMediaDvdRwOverwrite = 253, // DVD-RW in restricted overwrite
    kMediaImageFile = 254,
    kMediaUnknown = 255,
};

// File-system type bits.
enum FileSystemBits : int {
    kFsIso9660 = 1,
    kFsJoliet = 2,
    kFsUdf = 4,
};

// Write modes.
inline constexpr int kWriteModeDiscAtOnce = 248;
inline constexpr int kWriteModeTrackAtOnce = 2;

inline constexpr int kBytesPerBlock = 2048;

// An entry of the image as the events report it.
struct DiscItem {
    bool isFolder = false;
    std::string parentPath; // image path of the parent folder ("\" for the root)
    std::string imagePath;
    std::string name;
    std::string sourcePath;
    std::string formerImagePath; // set by rename events
    double size = 0;
    std::int64_t date = 0; // seconds since 1970, the source's modification time
};

struct DiscMedia {
    int type = kMediaNone;
    bool writable = false;
    bool rewritable = false;
};

struct DeviceErrorInfo {
    long code = 0;
    std::string text1; // what went wrong
    std::string text2; // the device
    std::string text3; // the library's detail (severity, sense)
};

struct FileErrorInfo {
    long code = 0;
    std::string description;
    std::string fileName;
};

struct DiscError {
    int category = kErrorWrite;
    DeviceErrorInfo device;
    FileErrorInfo file;
    long systemCode = 0;
    std::string description;
};

// What a device or the engine answers: the value, or the error with its
// category and the details the disc window builds its message from.
template <class T> using DiscResult = Result<T, DiscError>;

inline std::unexpected<DiscError> DiscFail(DiscError error) {
    return std::unexpected(std::move(error));
}

} // namespace trelmig
