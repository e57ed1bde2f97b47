// The program's arguments (NUL-separated in the input), and the unattended
// run's "sf=...xm=...ps=...bf=..." and the start time of --at among them.
#include "FuzzInput.h"
#include "cli/CommandLine.h"
#include "schedule/AutoBackup.h"
#include "schedule/JobRecord.h"

#include <vector>

using namespace trelmig;

TRELMIG_FUZZ_TARGET(CommandLine) {
    std::vector<std::string> args{"trelmig"};
    std::string_view text = fuzz::Text(data, size);
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find('\0', start), text.size());
        args.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<const char*> argv;
    for (const auto& a : args)
        argv.push_back(a.c_str());
    const CommandLine cmd = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    std::string error;
    ParseAutoBackupCommand(cmd.unattendedArgs, error);
    ParseAutoBackupCommand({cmd.scheduleCommand}, error);
    StartTimeMs(cmd.startTime);
    IsValidDayList(cmd.days.value_or(""));
    return 0;
}
