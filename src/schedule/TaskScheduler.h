#pragma once

#include "platform/CronDaemon.h"
#include "platform/Crontab.h"
#include "platform/UserTimers.h"
#include "schedule/JobRecord.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

class Environment;
class Prompter;

// Where jobs are registered: the crontab, the program the jobs start and the
// Wine prefix they back up; systemd user timers instead of the crontab where a
// user manager answers.
struct TaskScheduler {
    Crontab crontab;
    std::filesystem::path program;
    std::filesystem::path winePrefix;
    std::optional<UserTimers> timers = std::nullopt;
    // Whether a crontab line will ever run.
    std::function<bool()> cronDaemonRuns = [] { return CronDaemonRuns(); };
    // A Windows user folder the jobs read instead of winePrefix, and the
    // Windows partition it belongs to when that is known.
    std::optional<std::filesystem::path> windowsUser = std::nullopt;
    std::optional<std::filesystem::path> windowsRoot = std::nullopt;
};

// The scheduler of this user: timers when "systemctl --user" answers, else
// the crontab.
TaskScheduler ThisUsersScheduler(const std::filesystem::path& program,
                                 const std::filesystem::path& winePrefix);

// The scheduler with its jobs reading env's Windows user folder (and its
// partition, when known) when env reads one; unchanged for a Wine prefix.
TaskScheduler ForWindowsUserFolder(TaskScheduler scheduler, const Environment& env);

// The checks of "Add Task to Scheduler", in order; the first that fails shows
// its message and the result is false.
bool CheckJobChoices(const std::string& itemMask, const std::string& targetFile, bool protect,
                     const std::string& password, const std::string& retyped, Prompter& prompter);

// NotRunning: the job is in the crontab, but no cron daemon will start it.
enum class RegisterResult { Registered, Refused, Failed, NotRunning };
struct Registration {
    RegisterResult result = RegisterResult::Failed;
    int jobNumber = 0;
};

// Registers one job: refuses a start time that is no time of day and values
// the command line cannot carry back ("=", line breaks) with a message, then
// adds the job as a timer (checked active) or to the crontab, and confirms
// with "Task N has been scheduled." only when it will run: a crontab line with
// no cron daemon to run it says what is missing instead. A crontab or timer
// that cannot be written is reported as an error. A job with versions kept
// passes its policy after its command line ("--keep-last 3 ..."), and one of
// a Windows user folder names it ("--windows-user DIR") instead of a prefix. A
// password is stored in a password file (JobPasswordFile.h) that the job's
// line names; its command line keeps "ps=" empty.
Registration RegisterJob(const JobChoices& choices, const TaskScheduler& scheduler,
                         Prompter& prompter);

// Removes a job's line and its password file; false when there is no such
// job. A job that runs once removes its own line first and keeps the file
// for the backup that follows (keepPasswordFile). Throws CrontabError.
bool UnscheduleJob(const Crontab& crontab, int number, bool keepPasswordFile = false);
// The same for a job that is a timer or a crontab line.
bool UnscheduleJob(const TaskScheduler& scheduler, int number, bool keepPasswordFile = false);

// Moves the readable crontab jobs to timers under their own numbers, each
// timer started before its line is removed; returns the numbers moved.
// Throws CrontabError.
std::vector<int> MoveCronJobsToTimers(const TaskScheduler& scheduler);

// A job as "Open Scheduler" and --list-jobs show it; never its password.
struct JobListing {
    int number = 0;
    std::string time; // "9:00"
    std::string days; // "M,TH", "every day", "once", "days 1,15 of the month"
    std::string profile;
    std::string items;
    std::string targetFile;
    std::string repository{}; // the repository it backs up into instead of a file
    std::string winePrefix;
    std::string windowsUser;        // the Windows user folder it reads instead of a prefix
    std::optional<KeepPolicy> keep; // none: the backup file is replaced
    std::string problem;            // why profile, items and file are unknown; empty when known
    std::string where = "crontab";  // or "systemd timer"
    AtInfo info;
};

// Throws CrontabError when the crontab cannot be read.
std::vector<JobListing> ListJobs(const Crontab& crontab);
// The timers and the crontab's jobs; a crontab that cannot be read is an
// error only where there are no timers.
std::vector<JobListing> ListJobs(const TaskScheduler& scheduler);

} // namespace trelmig
