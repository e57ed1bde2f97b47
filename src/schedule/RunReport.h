#pragma once

#include "core/RunRecord.h"

#include <ctime>
#include <iosfwd>

namespace trelmig {

class SystemLog;

// "2026-12-09T21:30:00+01:00": a local time with its offset from UTC.
std::string IsoLocalTime(const std::tm& t);

// What an unattended run leaves behind it: its line in runs.log and, when it
// did not succeed, a critical desktop notification offering the runs. A log
// or a notification that fails is said on err and in the system log; it
// never changes the run's exit status.
void ReportRun(const RunRecord& record, SystemLog& log, std::ostream& err);

} // namespace trelmig
