#pragma once

#include <ctime>
#include <string>

namespace trelmig {

// The user's regional patterns for dates and times, as Windows keeps them.
struct RegionalFormat {
    std::string shortDate = "M/d/yyyy";
    std::string timeFormat = "h:mm:ss tt";
    std::string am = "AM";
    std::string pm = "PM";
};

// Formats with a Windows date or time pattern (d dd ddd dddd M MM MMM MMMM yy
// yyyy h hh H HH m mm s ss t tt, text in single quotes kept).
std::string FormatWithPattern(const std::tm& t, const std::string& pattern,
                              const RegionalFormat& format);

// The default text of a date-time: short date, a blank, long time.
std::string DefaultDateTimeText(const std::tm& t, const RegionalFormat& format);

} // namespace trelmig
