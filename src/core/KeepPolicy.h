#pragma once

#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// Which versions of a backup are kept, in the words of restic and Borg: the
// last N, then the newest of each of the last D days, W weeks (ISO weeks)
// and M months that have a version.
struct KeepPolicy {
    int last = 3;
    int daily = 7;
    int weekly = 4;
    int monthly = 6;
    bool operator==(const KeepPolicy&) const = default;
};

// When a version was made, local time, as its file name says.
struct VersionTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    auto operator<=>(const VersionTime&) const = default;
};

// For versions ordered newest first, whether the policy keeps each one. The
// newest is always kept, whatever the policy.
std::vector<bool> KeptVersions(const std::vector<VersionTime>& newestFirst,
                               const KeepPolicy& policy);

// "<name>-YYYY-MM-DD-HHMMSS.kvx" for the chosen file "<name>.kvx" (or
// "<name>" without an extension).
std::string VersionFileName(const std::string& chosenName, const VersionTime& time);
// The time in a file name VersionFileName made for that chosen name; nullopt
// for any other name (the chosen file itself, a partial backup beside it).
std::optional<VersionTime> VersionOfFileName(const std::string& chosenName,
                                             const std::string& fileName);

} // namespace trelmig
