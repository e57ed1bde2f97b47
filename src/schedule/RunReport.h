#pragma once

#include "core/RunRecord.h"

#include <ctime>
#include <iosfwd>
#include <optional>
#include <string>

namespace trelmig {

class SystemLog;

// "2026-12-09T21:30:00+01:00": a local time with its offset from UTC.
std::string IsoLocalTime(const std::tm& t);

// Appends the run's line to runs.log; nullopt, else why it could not. A
// backup from the window leaves only this line: its user saw how it went.
std::optional<std::string> AppendRunRecord(const RunRecord& record);

// What an unattended run leaves behind it: its line in runs.log and, when it
// did not succeed, a critical desktop notification offering the runs. A log
// or a notification that fails is said on err and in the system log; it
// never changes the run's exit status.
void ReportRun(const RunRecord& record, SystemLog& log, std::ostream& err);

} // namespace trelmig
