#include "cli/Verbs.h"

#include "cli/CommandLine.h"
#include "platform/Crontab.h"

#include <ostream>

namespace trelmig {

int RunRemoveJob(const CommandLine& cmd, std::ostream&, std::ostream& err) {
    try {
        if (Crontab().RemoveJob(cmd.jobNumber))
            return 0;
        err << "trelmig: there is no task " << cmd.jobNumber << '\n';
    } catch (const std::exception& e) {
        err << "trelmig: " << e.what() << '\n';
    }
    return 1;
}

} // namespace trelmig
