#pragma once

#include "disc/DiscTypes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace trelmig {

// Digit grouping and decimal point of the user's locale (UTF-8).
struct NumberSeparators {
    std::string group = ",";
    std::string decimal = ".";
};

// Bytes as megabytes, "#########0.#0 MB": 1572864 -> "1.50 MB".
std::string FormatMegabytes(double bytes, const NumberSeparators& separators = {});
// The number part of FormatMegabytes.
std::string MegabyteNumber(double bytes, const NumberSeparators& separators = {});
// The size column, bytes / 1000 as "###,###,##0.00 KB": 1234567 -> "1,234.57 KB".
std::string FormatKilobytes(double bytes, const NumberSeparators& separators = {});
// The date column in local time, "MM/DD/YYYY hh:mm:ss AM".
std::string FormatFileDate(std::int64_t secondsSince1970);
// A speed entry, the multiple as "#.0" and "x": 4 -> "4.0x", 0.5 -> ".5x".
std::string FormatSpeedMultiple(double multiple);

// Status panel text of a write state; none when the panel stays as it is.
std::optional<std::string> WriteStateText(int state);
// States 1 to 3 move the progress bar to the event's value.
bool WriteStateMovesProgress(int state);
// The completion message of state 9.
std::string WriteCompletedMessage(bool autoVerify);

// The message of a verify result; none for the codes that show no message.
std::optional<std::string> VerifyMessage(int code, const DiscItem& item);
// index / total x 100, halves to the even neighbour.
int VerifyProgress(long index, long total);
std::string VerifyStartText(long fileCount);
std::string VerifyStepText(const std::string& imagePath);
std::string VerifyDoneText(long checked, long matched);

std::string EngineErrorText(const DiscError& error);
// The erase window puts the device error's texts in its own order.
std::string EraseDeviceErrorText(const DeviceErrorInfo& info);
std::string TrackStatusText(int track, long count, const std::string& text);
std::string FileWarningText(const FileErrorInfo& info);
std::string MediaSpaceMessage(double freeBytes, double neededBytes,
                              const NumberSeparators& separators = {});
std::string ReplaceQuestionText(const std::string& existingImagePath, const std::string& newSource);

} // namespace trelmig
