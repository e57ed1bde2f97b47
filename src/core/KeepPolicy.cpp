#include "core/KeepPolicy.h"

#include <chrono>
#include <cstdio>

namespace trelmig {

namespace {

using namespace std::chrono;

sys_days dateOf(const VersionTime& t) {
    return sys_days(year(t.year) / month(static_cast<unsigned>(t.month)) /
                    day(static_cast<unsigned>(t.day)));
}

// ISO 8601 week: the week belongs to the year of its Thursday.
int isoWeekKey(const VersionTime& t) {
    const sys_days date = dateOf(t);
    const int fromMonday = static_cast<int>(weekday(date).iso_encoding()) - 1;
    const sys_days thursday = date - days(fromMonday) + days(3);
    const year isoYear = year_month_day(thursday).year();
    const int week = static_cast<int>((thursday - sys_days(isoYear / January / 1)).count()) / 7 + 1;
    return static_cast<int>(isoYear) * 100 + week;
}

// One rule of the policy: keeps the newest version of each of the first
// `count` periods that have one.
struct PeriodRule {
    int remaining;
    int (*periodOf)(const VersionTime&);
    std::optional<int> lastPeriod;

    bool Keeps(const VersionTime& t) {
        const int period = periodOf(t);
        if (remaining <= 0 || period == lastPeriod)
            return false;
        lastPeriod = period;
        --remaining;
        return true;
    }
};

std::string stemOf(const std::string& chosenName) {
    if (chosenName.size() > 4 && chosenName.ends_with(".kvx"))
        return chosenName.substr(0, chosenName.size() - 4);
    return chosenName;
}

} // namespace

std::vector<bool> KeptVersions(const std::vector<VersionTime>& newestFirst,
                               const KeepPolicy& policy) {
    PeriodRule rules[] = {
        {policy.daily,
         [](const VersionTime& t) { return t.year * 10000 + t.month * 100 + t.day; },
         {}},
        {policy.weekly, isoWeekKey, {}},
        {policy.monthly, [](const VersionTime& t) { return t.year * 100 + t.month; }, {}},
    };
    std::vector<bool> kept(newestFirst.size(), false);
    for (std::size_t i = 0; i < newestFirst.size(); ++i) {
        bool keep = i == 0 || static_cast<int>(i) < policy.last;
        // Every rule sees every version, as restic and Borg count them.
        for (auto& rule : rules)
            keep = rule.Keeps(newestFirst[i]) || keep;
        kept[i] = keep;
    }
    return kept;
}

std::string VersionFileName(const std::string& chosenName, const VersionTime& t) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "-%04d-%02d-%02d-%02d%02d%02d.kvx", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return stemOf(chosenName) + stamp;
}

std::optional<VersionTime> VersionOfFileName(const std::string& chosenName,
                                             const std::string& fileName) {
    const std::string stem = stemOf(chosenName);
    // "-YYYY-MM-DD-HHMMSS.kvx"
    constexpr std::size_t kStampLength = 22;
    if (fileName.size() != stem.size() + kStampLength || !fileName.starts_with(stem) ||
        !fileName.ends_with(".kvx"))
        return std::nullopt;
    const std::string stamp = fileName.substr(stem.size(), kStampLength - 4);
    for (std::size_t i = 0; i < stamp.size(); ++i) {
        const bool dash = i == 0 || i == 5 || i == 8 || i == 11;
        if (dash ? stamp[i] != '-' : (stamp[i] < '0' || stamp[i] > '9'))
            return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t n) {
        return std::stoi(stamp.substr(at, n));
    };
    VersionTime t{number(1, 4),  number(6, 2),  number(9, 2),
                  number(12, 2), number(14, 2), number(16, 2)};
    if (!year_month_day(year(t.year) / month(unsigned(t.month)) / day(unsigned(t.day))).ok() ||
        t.hour > 23 || t.minute > 59 || t.second > 60)
        return std::nullopt;
    return t;
}

} // namespace trelmig
