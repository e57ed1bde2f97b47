// Lines of the user's crontab: read as jobs, and a job read written again.
#include "FuzzInput.h"
#include "platform/CronJobLine.h"

using namespace trelmig;

TRELMIG_FUZZ_TARGET(CrontabLine) {
    const std::string line(fuzz::Text(data, size));
    CronJobNumber(line);
    if (const auto job = ParseCronJobLine(line); job && !job->info.command.empty()) {
        try {
            const auto again =
                ParseCronJobLine(CronJobLine(job->info, job->number, job->winePrefix));
            if (!again || again->info != job->info)
                __builtin_trap(); // a job we write must read back as it was
        } catch (const CrontabError&) {
        }
    }
    return 0;
}
