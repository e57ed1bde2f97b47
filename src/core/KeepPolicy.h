#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

// The command-line options of the policy's four counts, "--keep-last" first.
inline constexpr const char* kKeepOptions[] = {"--keep-last", "--keep-daily", "--keep-weekly",
                                               "--keep-monthly"};
// The count an option names; nullptr for any other option.
int* KeepCountOf(KeepPolicy& policy, std::string_view option);
// The policy as options and values: "--keep-last", "3", "--keep-daily", ...
std::vector<std::string> KeepArguments(const KeepPolicy& policy);
// The policy read back from options and values as KeepArguments writes them
// (counts not named keep their defaults); nullopt when no option is one of
// the four, or a value is no count.
std::optional<KeepPolicy> KeepPolicyOfArguments(const std::vector<std::string>& arguments);
// "last 3, daily 7, weekly 4, monthly 6"
std::string KeepPolicyText(const KeepPolicy& policy);

// When a version was made, local time, as its file name says.
struct VersionTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    auto operator<=>(const VersionTime&) const = default;
};

// A moment (seconds since the epoch) in local time.
VersionTime LocalVersionTime(std::int64_t secondsSinceEpoch);

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
// The same for a version that was set aside as partial,
// "<name>-YYYY-MM-DD-HHMMSS.partial.kvx".
std::optional<VersionTime> PartialVersionOfFileName(const std::string& chosenName,
                                                    const std::string& fileName);
// The chosen name "<name>.kvx" whose version (partial or not) fileName is;
// nullopt when fileName is no version's name.
std::optional<std::string> ChosenNameOfVersion(const std::string& fileName);

} // namespace trelmig
