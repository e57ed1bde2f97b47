#pragma once

#include "core/KeepPolicy.h"
#include "platform/CronJobLine.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace trelmig {

// The day boxes, Monday first, with the codes a DayList is made of; day i
// sets bit i of daysOfWeek.
inline constexpr int kDayCount = 7;
inline constexpr std::array<const char*, kDayCount> kDayCodes = {"M", "T", "W", "TH",
                                                                 "F", "S", "SU"};
using DayChecks = std::array<bool, kDayCount>;

// The codes of the checked days joined by "," ("M,TH"); empty for none.
std::string DayList(const DayChecks& days);
// daysOfWeek of a DayList: codes are compared in upper case, an unknown code
// adds nothing.
std::uint8_t DaysOfWeekOf(const std::string& dayList);
// True when every element of the list is a day code.
bool IsValidDayList(const std::string& dayList);

// Milliseconds after midnight of a start time typed as "9:00", "23:30",
// "9:5", "09:00:00" or "9:00 PM"; nullopt when the text is no time of day.
std::optional<std::uint32_t> StartTimeMs(const std::string& text);

// What one registration is made of: the choices of the schedule window or of
// the command line.
struct JobChoices {
    std::string startTime; // text of cmbStartTime
    std::string dayList;
    std::string profileName;
    std::string itemMask;
    std::string password;   // empty: no protection
    std::string targetFile; // empty for a repository's job
    // The address of the repository the job backs up into ("--repository"
    // after its command line, which keeps "bf=" empty); empty for a file's job.
    std::string repository{};
    // Versions kept beside targetFile (or pruned in the repository) instead of replacing it; none:
    // one file, replaced by each run.
    std::optional<KeepPolicy> keep = std::nullopt;
};

// The job command line: the program in double quotes, then
// " sf=<profile>xm=<mask>ps=<password>bf=<file>".
std::string JobCommandLine(const std::string& program, const JobChoices& choices);

// A fresh record: jobTime from the start time, daysOfWeek from the day list,
// daysOfMonth 0, Flags kJobRunPeriodically, Command as above. nullopt when
// the start time is no time of day.
std::optional<AtInfo> BuildJobInfo(const JobChoices& choices, const std::string& program);

} // namespace trelmig
