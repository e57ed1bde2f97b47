#include "cli/Verbs.h"

#include "cli/CommandLine.h"
#include "core/Message.h"
#include "platform/ThisProgram.h"
#include "schedule/TaskScheduler.h"

#include <ostream>

namespace trelmig {

int RunRemoveJob(const CommandLine& cmd, std::ostream&, std::ostream& err) {
    try {
        if (UnscheduleJob(ThisUsersScheduler(CommandLineProgram(), {}), cmd.jobNumber,
                          cmd.keepPasswordFile))
            return 0;
        err << MessageText(MessageId::ProgramLine,
                           MessageText(MessageId::NoSuchTask, std::to_string(cmd.jobNumber)))
            << '\n';
    } catch (const std::exception& e) {
        err << MessageText(MessageId::ProgramLine, e.what()) << '\n';
    }
    return 1;
}

int RunMoveJobs(const CommandLine&, std::ostream& out, std::ostream& err) {
    try {
        const auto moved = MoveCronJobsToTimers(ThisUsersScheduler(CommandLineProgram(), {}));
        if (moved.empty())
            out << MessageText(MessageId::NoCrontabTaskMoved) << '\n';
        for (int number : moved)
            out << MessageText(MessageId::TaskNowTimer, std::to_string(number)) << '\n';
        return 0;
    } catch (const std::exception& e) {
        err << MessageText(MessageId::ProgramLine, e.what()) << '\n';
    }
    return 1;
}

} // namespace trelmig
