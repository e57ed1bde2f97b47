#pragma once

#include <filesystem>

namespace trelmig {

// True when a cron daemon (cron, crond, cronie, fcron, busybox crond) runs on
// this machine: without one, a crontab line never runs. Looks at the command
// names of the processes under proc.
bool CronDaemonRuns(const std::filesystem::path& proc = "/proc");

} // namespace trelmig
