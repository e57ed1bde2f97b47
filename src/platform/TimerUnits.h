#pragma once

#include "platform/CronJobLine.h"

#include <filesystem>
#include <optional>
#include <string>

namespace trelmig {

// A job of the job scheduler as a pair of systemd user units,
// trelmig-backup-N.service (the backup) and trelmig-backup-N.timer (when),
// the timer Persistent so that a run missed while the machine was off or
// asleep runs at its next start. Each unit carries the job as the crontab
// would hold it, in a comment, so that a job reads back the same from both.

std::string TimerUnitName(int number);   // "trelmig-backup-3.timer"
std::string ServiceUnitName(int number); // "trelmig-backup-3.service"

// The OnCalendar= values of a record, one per line: weekdays and time
// ("Mon,Thu *-*-* 21:30:00"), days of the month in a line of their own (cron
// runs on either), every day for a record that names no day.
std::string OnCalendarLines(const AtInfo& info);

// The unit files. Throws CrontabError for a record no job can carry, as
// CronJobLine does.
std::string TimerUnitText(const AtInfo& info, int number, const std::filesystem::path& winePrefix,
                          const std::filesystem::path& passwordFile = {},
                          const JobArguments& arguments = {});
std::string ServiceUnitText(const AtInfo& info, int number, const std::filesystem::path& winePrefix,
                            const std::filesystem::path& passwordFile = {},
                            const JobArguments& arguments = {});

// The job a timer unit's text carries; nullopt for any other text.
std::optional<CronJob> JobOfTimerUnit(const std::string& text);

} // namespace trelmig
