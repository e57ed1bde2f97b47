#include "core/KeepPolicy.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>

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

constexpr std::size_t kStampLength = 22; // "-YYYY-MM-DD-HHMMSS.kvx"
constexpr std::string_view kPartialEnding = ".partial.kvx";

} // namespace

int* KeepCountOf(KeepPolicy& policy, std::string_view option) {
    int* const counts[] = {&policy.last, &policy.daily, &policy.weekly, &policy.monthly};
    for (std::size_t i = 0; i < std::size(kKeepOptions); ++i)
        if (option == kKeepOptions[i])
            return counts[i];
    return nullptr;
}

std::vector<std::string> KeepArguments(const KeepPolicy& policy) {
    const int counts[] = {policy.last, policy.daily, policy.weekly, policy.monthly};
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < std::size(kKeepOptions); ++i) {
        arguments.emplace_back(kKeepOptions[i]);
        arguments.push_back(std::to_string(counts[i]));
    }
    return arguments;
}

std::optional<KeepPolicy> KeepPolicyOfArguments(const std::vector<std::string>& arguments) {
    KeepPolicy policy;
    bool named = false;
    for (std::size_t i = 0; i + 1 < arguments.size(); i += 2) {
        int* count = KeepCountOf(policy, arguments[i]);
        if (!count)
            continue;
        const std::string& value = arguments[i + 1];
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), *count);
        if (ec != std::errc() || end != value.data() + value.size() || *count < 0)
            return std::nullopt;
        named = true;
    }
    return named ? std::optional(policy) : std::nullopt;
}

std::string KeepPolicyText(const KeepPolicy& p) {
    return "last " + std::to_string(p.last) + ", daily " + std::to_string(p.daily) + ", weekly " +
           std::to_string(p.weekly) + ", monthly " + std::to_string(p.monthly);
}

VersionTime LocalVersionTime(std::int64_t secondsSinceEpoch) {
    const std::time_t t = secondsSinceEpoch;
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

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

std::optional<VersionTime> PartialVersionOfFileName(const std::string& chosenName,
                                                    const std::string& fileName) {
    if (!fileName.ends_with(kPartialEnding))
        return std::nullopt;
    return VersionOfFileName(chosenName,
                             fileName.substr(0, fileName.size() - kPartialEnding.size()) + ".kvx");
}

std::optional<std::string> ChosenNameOfVersion(const std::string& fileName) {
    std::string name = fileName;
    if (name.ends_with(kPartialEnding))
        name = name.substr(0, name.size() - kPartialEnding.size()) + ".kvx";
    if (name.size() <= kStampLength)
        return std::nullopt;
    const std::string chosen = name.substr(0, name.size() - kStampLength) + ".kvx";
    if (!VersionOfFileName(chosen, name))
        return std::nullopt;
    return chosen;
}

} // namespace trelmig
