#include "cli/Verbs.h"

#include "cli/CommandLine.h"
#include "schedule/TaskScheduler.h"

#include <ostream>

namespace trelmig {

int RunRemoveJob(const CommandLine& cmd, std::ostream&, std::ostream& err) {
    try {
        if (UnscheduleJob(Crontab(), cmd.jobNumber, cmd.keepPasswordFile))
            return 0;
        err << "trelmig: there is no task " << cmd.jobNumber << '\n';
    } catch (const std::exception& e) {
        err << "trelmig: " << e.what() << '\n';
    }
    return 1;
}

} // namespace trelmig
