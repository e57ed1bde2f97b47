#include "schedule/JobRecord.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace trelmig {

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

template <typename F> void forEachElement(const std::string& list, F f) {
    std::size_t start = 0;
    for (;;) {
        const auto comma = list.find(',', start);
        f(list.substr(start, comma - start));
        if (comma == std::string::npos)
            return;
        start = comma + 1;
    }
}

int dayIndex(const std::string& code) {
    const auto it = std::find(kDayCodes.begin(), kDayCodes.end(), upper(code));
    return it == kDayCodes.end() ? -1 : static_cast<int>(it - kDayCodes.begin());
}

} // namespace

std::string DayList(const DayChecks& days) {
    std::string list;
    for (int i = 0; i < kDayCount; ++i)
        if (days[i])
            list += std::string(kDayCodes[i]) + (i + 1 < kDayCount ? "," : "");
    if (!list.empty() && list.back() == ',')
        list.pop_back();
    return list;
}

std::uint8_t DaysOfWeekOf(const std::string& dayList) {
    std::uint8_t bits = 0;
    forEachElement(dayList, [&](const std::string& code) {
        if (const int i = dayIndex(code); i >= 0)
            bits |= static_cast<std::uint8_t>(1u << i);
    });
    return bits;
}

bool IsValidDayList(const std::string& dayList) {
    bool valid = true;
    forEachElement(dayList, [&](const std::string& code) { valid = valid && dayIndex(code) >= 0; });
    return valid;
}

std::optional<std::uint32_t> StartTimeMs(const std::string& text) {
    // [blanks] H[H]:M[M][:S[S]] [blanks] [AM|PM] [blanks], read in one pass.
    std::size_t i = 0;
    auto blanks = [&] {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
    };
    auto number = [&]() -> std::optional<int> {
        int value = 0;
        std::size_t digits = 0;
        while (i < text.size() && digits < 2 && text[i] >= '0' && text[i] <= '9') {
            value = value * 10 + (text[i++] - '0');
            ++digits;
        }
        if (digits == 0)
            return std::nullopt;
        return value;
    };
    blanks();
    const auto hourRead = number();
    if (!hourRead || i >= text.size() || text[i++] != ':')
        return std::nullopt;
    const auto minute = number();
    if (!minute || *minute > 59)
        return std::nullopt;
    if (i < text.size() && text[i] == ':') {
        ++i;
        const auto second = number();
        if (!second || *second > 59)
            return std::nullopt;
    }
    blanks();
    std::optional<char> half;
    if (i + 1 < text.size() && std::string_view("AaPp").find(text[i]) != std::string_view::npos &&
        (text[i + 1] == 'M' || text[i + 1] == 'm')) {
        half = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        i += 2;
        blanks();
    }
    if (i != text.size())
        return std::nullopt;
    int hour = *hourRead;
    if (half) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (*half == 'P' ? 12 : 0);
    } else if (hour > 23) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>((hour * 3600 + *minute * 60) * 1000);
}

std::string JobCommandLine(const std::string& program, const JobChoices& c) {
    return "\"" + program + "\"" + " sf=" + c.profileName + "xm=" + c.itemMask +
           "ps=" + c.password + "bf=" + c.targetFile;
}

std::optional<AtInfo> BuildJobInfo(const JobChoices& choices, const std::string& program) {
    const auto jobTime = StartTimeMs(choices.startTime);
    if (!jobTime)
        return std::nullopt;
    AtInfo info;
    info.jobTime = *jobTime;
    info.daysOfWeek = DaysOfWeekOf(choices.dayList);
    info.daysOfMonth = 0;
    info.flags |= kJobRunPeriodically;
    info.command = JobCommandLine(program, choices);
    return info;
}

} // namespace trelmig
