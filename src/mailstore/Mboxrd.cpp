#include "mailstore/Mboxrd.h"

#include <array>
#include <ctime>

namespace trelmig {

namespace {

std::string SenderAddress(std::string_view sender) {
    const auto open = sender.rfind('<');
    const auto close = sender.rfind('>');
    std::string_view address = sender;
    if (open != std::string_view::npos && close != std::string_view::npos && close > open + 1)
        address = sender.substr(open + 1, close - open - 1);
    if (address.empty() || address.find_first_of(" \t\r\n") != std::string_view::npos)
        return "MAILER-DAEMON";
    return std::string(address);
}

std::string AsciiTime(std::optional<std::int64_t> time) {
    const std::time_t t = static_cast<std::time_t>(time.value_or(0));
    std::tm utc{};
    if (!gmtime_r(&t, &utc))
        return "Thu Jan  1 00:00:00 1970";
    static constexpr std::array<const char*, 7> kDays{"Sun", "Mon", "Tue", "Wed",
                                                      "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%s %s %2d %02d:%02d:%02d %d",
                  kDays[std::size_t(utc.tm_wday) % 7], kMonths[std::size_t(utc.tm_mon) % 12],
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, utc.tm_year + 1900);
    return text.data();
}

bool NeedsQuoting(std::string_view line) {
    const auto start = line.find_first_not_of('>');
    return start != std::string_view::npos && line.substr(start).starts_with("From ");
}

} // namespace

std::string MboxFromLine(std::string_view sender, std::optional<std::int64_t> time) {
    return "From " + SenderAddress(sender) + " " + AsciiTime(time) + "\n";
}

std::string MboxrdBody(std::string_view message) {
    std::string out;
    out.reserve(message.size() + 64);
    std::size_t at = 0;
    while (at < message.size()) {
        std::size_t end = message.find('\n', at);
        const bool last = end == std::string_view::npos;
        if (last)
            end = message.size();
        std::string_view line = message.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (NeedsQuoting(line))
            out += '>';
        out.append(line).append("\n");
        at = end + 1;
    }
    out += '\n';
    return out;
}

} // namespace trelmig
