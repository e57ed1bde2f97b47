#pragma once

#include <iosfwd>

namespace trelmig {

struct CommandLine;

// trelmig --schedule "sf=...xm=...ps=...bf=..." --at HH:MM [--days M,T,...]:
// registers a job in the caller's crontab as the schedule window does.
// 0 registered, 1 the crontab failed, 2 refused.
int RunScheduleCommand(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// trelmig --list-jobs: one line per job of this program. 0, or 1 when the
// crontab cannot be read.
int RunListJobs(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// trelmig --remove-job N: silent on success, 1 when there is no such job or
// the crontab fails. Jobs that run once call it before their backup.
int RunRemoveJob(const CommandLine& cmd, std::ostream& out, std::ostream& err);

} // namespace trelmig
