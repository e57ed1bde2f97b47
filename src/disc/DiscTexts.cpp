#include "disc/DiscTexts.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace trelmig {

namespace {

// Fixed two decimals, digits of the integer part grouped by three when a
// group separator is given.
std::string FormatFixed(double value, int decimals, const std::string& group,
                        const std::string& decimal) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    std::string sign;
    if (!text.empty() && text[0] == '-') {
        sign = "-";
        text.erase(0, 1);
    }
    const auto point = text.find('.');
    std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    if (!group.empty())
        for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3)
            whole.insert(static_cast<size_t>(i), group);
    return sign + whole + (fraction.empty() ? "" : decimal + fraction);
}

const char* const kLineBreak = "\n";

} // namespace

std::string MegabyteNumber(double bytes, const NumberSeparators& separators) {
    return FormatFixed(bytes / 1048576.0, 2, "", separators.decimal);
}

std::string FormatMegabytes(double bytes, const NumberSeparators& separators) {
    return MegabyteNumber(bytes, separators) + " MB";
}

std::string FormatKilobytes(double bytes, const NumberSeparators& separators) {
    return FormatFixed(bytes / 1000.0, 2, separators.group, separators.decimal) + " KB";
}

std::string FormatFileDate(std::int64_t secondsSince1970) {
    const std::time_t time = static_cast<std::time_t>(secondsSince1970);
    std::tm local{};
    localtime_r(&time, &local);
    const int hour = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d %02d:%02d:%02d %s", local.tm_mon + 1,
                  local.tm_mday, local.tm_year + 1900, hour, local.tm_min, local.tm_sec,
                  local.tm_hour < 12 ? "AM" : "PM");
    return buffer;
}

std::string FormatSpeedMultiple(double multiple) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", multiple);
    std::string text = buffer;
    if (text.rfind("0.", 0) == 0)
        text.erase(0, 1); // "#" shows no digit for a zero integer part
    return text + "x";
}

std::optional<std::string> WriteStateText(int state) {
    switch (state) {
    case kWritePreparing:
        return "Preparing Image....";
    case kWriteClosingTrack:
        return "Closing Track....";
    case kWriteLeadIn:
        return "Writing Lead-in....";
    case kWriteLeadOut:
        return "Writing Lead-out....";
    case kWriteUpdatingVolume:
        return "Updating Volume....";
    case kWriteCompleted:
        return "Write Completed!";
    case kWriteCancelled:
        return "Write Cancelled....";
    case kWriteError:
        return "Write Error!";
    default:
        return std::nullopt;
    }
}

bool WriteStateMovesProgress(int state) {
    return state == kWriteProgress || state == kWriteFormatting || state == kWriteBuffering;
}

std::string WriteCompletedMessage(bool autoVerify) {
    return autoVerify ? "Write and Verify Complete!" : "Write Complete!";
}

std::optional<std::string> VerifyMessage(int code, const DiscItem& item) {
    const char* head = nullptr;
    switch (code) {
    case kVerifySourceUnreadable:
        head = "Verify Error - Could not read Source file from disc: ";
        break;
    case kVerifyDestinationUnreadable:
        head = "Verify Error - Could not read Destination file from disc: ";
        break;
    case kVerifyContentMismatch:
        head = "Verify Error - Source and Destination file did not match: ";
        break;
    case kVerifySizeMismatch:
        head = "Verify Error - Size of Source and Destination file did not match: ";
        break;
    default:
        return std::nullopt;
    }
    return std::string(head) + kLineBreak + item.imagePath + " (disc)" + kLineBreak +
           item.sourcePath + " (source)";
}

int VerifyProgress(long index, long total) {
    if (total <= 0)
        return 0;
    return static_cast<int>(std::nearbyint(static_cast<double>(index) / total * 100.0));
}

std::string VerifyStartText(long fileCount) {
    return "Auto-Verify... " + std::to_string(fileCount) + " new files.";
}

std::string VerifyStepText(const std::string& imagePath) {
    return "Auto-Verify... " + imagePath;
}

std::string VerifyDoneText(long checked, long matched) {
    return "Auto-Verify...Complete (" + std::to_string(matched) + " of " + std::to_string(checked) +
           " MATCHED)";
}

std::string EngineErrorText(const DiscError& error) {
    switch (error.category) {
    case kErrorDevice:
        return "Device Error: (" + std::to_string(error.device.code) + ")   " + error.device.text1 +
               kLineBreak + error.device.text2 + " - " + error.device.text3;
    case kErrorOutputFile:
        return "Output File Error: (" + std::to_string(error.file.code) + ")   " +
               error.file.description + kLineBreak + "'" + error.file.fileName + "'";
    case kErrorSourceFile:
        return "Source File Error: (" + std::to_string(error.file.code) + ")   " +
               error.file.description + kLineBreak + "'" + error.file.fileName + "'";
    case kErrorSystem:
        return "System Error: (" + std::to_string(error.systemCode) + ")   " + error.description;
    default:
        return "Write Error: (" + std::to_string(error.category) + ")   " + error.description;
    }
}

std::string EraseDeviceErrorText(const DeviceErrorInfo& info) {
    return "Device Error: (" + std::to_string(info.code) + ")   " + info.text1 + kLineBreak + "(" +
           info.text3 + ") " + info.text2;
}

std::string TrackStatusText(int track, long count, const std::string& text) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", track);
    return std::string("Track: ") + number + " - Reading..." + std::to_string(count) + " - " + text;
}

std::string FileWarningText(const FileErrorInfo& info) {
    return "File Warning(" + std::to_string(info.code) + "):" + info.fileName + kLineBreak +
           info.description;
}

std::string MediaSpaceMessage(double freeBytes, double neededBytes,
                              const NumberSeparators& separators) {
    return "Free Space on the loaded disc is " + MegabyteNumber(freeBytes, separators) + " MB!" +
           kLineBreak + "This data image requires " + MegabyteNumber(neededBytes, separators) +
           " MB of Free Space!";
}

std::string ReplaceQuestionText(const std::string& existingImagePath,
                                const std::string& newSource) {
    return std::string("A file already exists in the image: ") + kLineBreak + existingImagePath +
           kLineBreak + "Would you like to replace it with: " + kLineBreak + newSource + " ?";
}

} // namespace trelmig
