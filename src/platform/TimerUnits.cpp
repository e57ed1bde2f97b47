#include "platform/TimerUnits.h"

#include <array>
#include <sstream>

namespace trelmig {

namespace {

constexpr const char* kJobComment = "# trelmig job line: ";
constexpr std::array<const char*, 7> kWeekdays = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

std::string twoDigits(std::uint32_t v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

// One word of an Exec line: double quotes, with the backslash escapes systemd
// reads back, "%" doubled (specifiers) and "$" doubled (variables).
std::string execWord(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        else if (c == '%' || c == '$')
            out += c;
        out += c;
    }
    return out + "\"";
}

// A quoted Environment= assignment: no variables there, but specifiers.
std::string environmentWord(const std::string& assignment) {
    std::string out = "\"";
    for (char c : assignment) {
        if (c == '\\' || c == '"')
            out += '\\';
        else if (c == '%')
            out += c;
        out += c;
    }
    return out + "\"";
}

bool runsOnce(const AtInfo& info) {
    return ((info.daysOfWeek & 0x7f) == 0 && info.daysOfMonth == 0) ||
           !(info.flags & kJobRunPeriodically);
}

} // namespace

std::string TimerUnitName(int number) {
    return "trelmig-backup-" + std::to_string(number) + ".timer";
}

std::string ServiceUnitName(int number) {
    return "trelmig-backup-" + std::to_string(number) + ".service";
}

std::string OnCalendarLines(const AtInfo& info) {
    const std::uint32_t minutes = info.jobTime / 60000;
    const std::string time = twoDigits(minutes / 60) + ":" + twoDigits(minutes % 60) + ":00";
    std::string weekdays;
    for (int i = 0; i < 7; ++i)
        if (info.daysOfWeek & (1u << i))
            weekdays += (weekdays.empty() ? "" : ",") + std::string(kWeekdays[i]);
    std::string monthDays;
    for (int d = 0; d < 31; ++d)
        if (info.daysOfMonth & (1u << d))
            monthDays += (monthDays.empty() ? "" : ",") + twoDigits(d + 1);
    std::string lines;
    if (!weekdays.empty())
        lines += "OnCalendar=" + weekdays + " *-*-* " + time + "\n";
    if (!monthDays.empty())
        lines += "OnCalendar=*-*-" + monthDays + " " + time + "\n";
    if (lines.empty())
        lines = "OnCalendar=*-*-* " + time + "\n";
    return lines;
}

std::string TimerUnitText(const AtInfo& info, int number, const std::filesystem::path& winePrefix,
                          const std::filesystem::path& passwordFile,
                          const JobArguments& arguments) {
    const std::string line = CronJobLine(info, number, winePrefix, passwordFile, arguments);
    return std::string(kJobComment) + line + "\n" +
           "[Unit]\nDescription=Quenvar Outlook Backup, task " + std::to_string(number) +
           "\n\n[Timer]\n" + OnCalendarLines(info) +
           "Persistent=true\nUnit=" + ServiceUnitName(number) +
           "\n\n[Install]\nWantedBy=timers.target\n";
}

std::string ServiceUnitText(const AtInfo& info, int number, const std::filesystem::path& winePrefix,
                            const std::filesystem::path& passwordFile,
                            const JobArguments& arguments) {
    // Refuses what no job can carry.
    CronJobLine(info, number, winePrefix, passwordFile, arguments);
    const auto [program, commandArguments] = SplitJobCommand(info.command);
    std::ostringstream unit;
    unit << "[Unit]\nDescription=Quenvar Outlook Backup, task " << number << "\n\n"
         << "[Service]\nType=oneshot\n"
         // A failed run leaves a process waiting for its notification's action.
         << "KillMode=process\n"
         << "Environment=" << environmentWord("TRELMIG_JOB=" + std::to_string(number)) << "\n";
    if (!winePrefix.empty())
        unit << "Environment=" << environmentWord("WINEPREFIX=" + winePrefix.string()) << "\n";
    if (runsOnce(info)) {
        unit << "ExecStartPre=" << execWord(program) << " --remove-job " << number;
        if (!passwordFile.empty())
            unit << " --keep-password-file";
        unit << "\n";
    }
    unit << "ExecStart=" << execWord(program);
    if (!passwordFile.empty())
        unit << " --password-file " << execWord(passwordFile.string());
    for (const std::string& word : arguments.machine)
        unit << " " << execWord(word);
    unit << " " << execWord(commandArguments);
    for (const std::string& word : arguments.run)
        unit << " " << execWord(word);
    unit << "\n";
    return unit.str();
}

std::optional<CronJob> JobOfTimerUnit(const std::string& text) {
    if (!text.starts_with(kJobComment))
        return std::nullopt;
    const auto start = std::char_traits<char>::length(kJobComment);
    return ParseCronJobLine(text.substr(start, text.find('\n') - start));
}

} // namespace trelmig
