#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trelmig {

// The job record of the Windows job scheduler (AT_INFO), field for field.
// command is UTF-8 here: "\"<program>\" <arguments>".
struct AtInfo {
    std::uint32_t jobTime = 0;     // milliseconds after midnight
    std::uint32_t daysOfMonth = 0; // bit 0 = day 1 ... bit 30 = day 31
    std::uint8_t daysOfWeek = 0;   // bit 0 = Monday ... bit 6 = Sunday
    std::uint8_t flags = 0;
    std::string command;

    bool operator==(const AtInfo&) const = default;
};

inline constexpr std::uint8_t kJobRunPeriodically = 0x01;

class CrontabError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The options a job line carries around its backup command, each an option
// word ("--...") followed by its value: `machine` before the command (the
// Windows user folder a job reads: "--windows-user", DIR), `run` after it
// (the versions it keeps: "--keep-last", "3", ...).
struct JobArguments {
    std::vector<std::string> machine;
    std::vector<std::string> run;
    bool operator==(const JobArguments&) const = default;
};

// A job of this program as found in a crontab.
struct CronJob {
    int number = 0;
    AtInfo info;                      // Command empty when the line was edited beyond reading
    std::filesystem::path winePrefix; // empty when the line sets none
    // The file the job reads its password from (--password-file); empty when
    // the line names none.
    std::filesystem::path passwordFile;
    // A job that runs once and leaves its password file to the run, which
    // removes it after reading it (--remove-job N --keep-password-file).
    bool keepsPasswordFile = false;
    JobArguments arguments;
};

// One job is one crontab line:
//   30 23 * * 1,4 WINEPREFIX='/p' '/usr/bin/trelmig' 'sf=...bf=...' # trelmig job 3
// A job that runs once (no day at all, or not periodic) first removes its own
// line and only then starts the backup, so it never runs a second time:
//   0 9 * * * '/usr/bin/trelmig' --remove-job 4 && WINEPREFIX=... # trelmig job 4
// A job whose password is kept in a file names it before its arguments:
//   ... '/usr/bin/trelmig' --password-file '/home/sam/.config/...' 'sf=...'
// and, when it runs once, its own removal leaves that file to the run:
//   ... --remove-job 4 --keep-password-file && ...
// The job's other options go before and after its command:
//   ... '/usr/bin/trelmig' '--windows-user' '/media/sam/OS/Users/Sam' 'sf=...' '--keep-last' '3'
// Throws CrontabError for a record that no line can carry (a time past
// midnight, a command that is not "\"program\" arguments" or holds a line break,
// options that are not pairs of "--option" and value).
std::string CronJobLine(const AtInfo& info, int number, const std::filesystem::path& winePrefix,
                        const std::filesystem::path& passwordFile = {},
                        const JobArguments& arguments = {});

// A cron number: decimal digits only, within int; nullopt otherwise.
std::optional<int> ParseCronNumber(std::string_view text);

// The number of a new job beside the numbers jobs hold: one above the
// highest, so that numbers follow the order jobs were added in, or the
// lowest free one when the highest is the highest a job line carries. Every
// number it gives is one ParseCronNumber reads back.
int NextJobNumber(std::vector<int> taken);

// The job number of a line carrying the job marker, commented out or not.
std::optional<int> CronJobNumber(const std::string& line);
// Reads back a job line of this program; nullopt for any other line,
// including a job line that was commented out.
std::optional<CronJob> ParseCronJobLine(const std::string& line);

// One shell word that reaches the program unchanged after cron has turned
// "%" into line breaks: single quotes, and every "%" outside them as "\%".
std::string CronShellWord(const std::string& text);

// Splits a job's command, "\"program\" arguments" as the schedule window
// writes it; throws CrontabError for any other shape.
std::pair<std::string, std::string> SplitJobCommand(const std::string& command);

// Throws CrontabError unless the options are pairs of an option word and a
// value, none holding a line break or a NUL character.
void CheckJobArguments(const JobArguments& arguments);

} // namespace trelmig
