#include "core/DateTimeText.h"

namespace trelmig {

std::string FormatWithPattern(const std::tm& t, const std::string& pattern,
                              const RegionalFormat& format) {
    static const char* const days[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                       "Thursday", "Friday", "Saturday"};
    static const char* const months[] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
    auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {
            const auto close = pattern.find('\'', i + 1);
            out += pattern.substr(i + 1,
                                  close == std::string::npos ? std::string::npos : close - i - 1);
            i = close == std::string::npos ? pattern.size() : close + 1;
            continue;
        }
        std::size_t n = 1;
        while (i + n < pattern.size() && pattern[i + n] == c)
            ++n;
        const int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
        const std::string& ampm = t.tm_hour < 12 ? format.am : format.pm;
        switch (c) {
        case 'd':
            out += n == 1   ? std::to_string(t.tm_mday)
                   : n == 2 ? two(t.tm_mday)
                   : n == 3 ? std::string(days[t.tm_wday]).substr(0, 3)
                            : std::string(days[t.tm_wday]);
            break;
        case 'M':
            out += n == 1   ? std::to_string(t.tm_mon + 1)
                   : n == 2 ? two(t.tm_mon + 1)
                   : n == 3 ? std::string(months[t.tm_mon]).substr(0, 3)
                            : std::string(months[t.tm_mon]);
            break;
        case 'y':
            out += n <= 2 ? two((t.tm_year + 1900) % 100) : std::to_string(t.tm_year + 1900);
            break;
        case 'h':
            out += n == 1 ? std::to_string(hour12) : two(hour12);
            break;
        case 'H':
            out += n == 1 ? std::to_string(t.tm_hour) : two(t.tm_hour);
            break;
        case 'm':
            out += n == 1 ? std::to_string(t.tm_min) : two(t.tm_min);
            break;
        case 's':
            out += n == 1 ? std::to_string(t.tm_sec) : two(t.tm_sec);
            break;
        case 't':
            out += n == 1 ? ampm.substr(0, 1) : ampm;
            break;
        default:
            out.append(n, c);
        }
        i += n;
    }
    return out;
}

std::string DefaultDateTimeText(const std::tm& t, const RegionalFormat& format) {
    return FormatWithPattern(t, format.shortDate, format) + " " +
           FormatWithPattern(t, format.timeFormat, format);
}

} // namespace trelmig
