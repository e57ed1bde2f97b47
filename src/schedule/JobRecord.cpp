#include "schedule/JobRecord.h"

#include <algorithm>
#include <cctype>
#include <regex>

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
    static const std::regex time(R"(\s*(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?\s*([AaPp][Mm])?\s*)");
    std::smatch m;
    if (!std::regex_match(text, m, time))
        return std::nullopt;
    int hour = std::stoi(m[1].str());
    const int minute = std::stoi(m[2].str());
    if (minute > 59 || (m[3].matched && std::stoi(m[3].str()) > 59))
        return std::nullopt;
    if (m[4].matched) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour =
            hour % 12 + (std::toupper(static_cast<unsigned char>(m[4].str()[0])) == 'P' ? 12 : 0);
    } else if (hour > 23) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>((hour * 3600 + minute * 60) * 1000);
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
    info.JobTime = *jobTime;
    info.DaysOfWeek = DaysOfWeekOf(choices.dayList);
    info.DaysOfMonth = 0;
    info.Flags |= JOB_RUN_PERIODICALLY;
    info.Command = JobCommandLine(program, choices);
    return info;
}

} // namespace trelmig
