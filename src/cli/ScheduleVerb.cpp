#include "cli/Verbs.h"

#include "app/Environment.h"
#include "app/MachineSource.h"
#include "cli/CommandLine.h"
#include "cli/ConsolePrompter.h"
#include "core/Message.h"
#include "platform/ThisProgram.h"
#include "schedule/AutoBackup.h"
#include "schedule/TaskScheduler.h"

#include <algorithm>
#include <ostream>

namespace trelmig {

int RunScheduleCommand(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    TerminalPrompter prompter(out, err);
    std::string error;
    const auto command = ParseAutoBackupCommand({cmd.scheduleCommand}, error);
    if (!command) {
        err << MessageText(MessageId::ProgramLine,
                           MessageText(MessageId::ScheduleCommandRefused, error))
            << '\n';
        return 2;
    }
    if (cmd.days && !IsValidDayList(*cmd.days)) {
        err << MessageText(MessageId::ProgramLine, MessageText(MessageId::DaysNotADayList)) << '\n';
        return 2;
    }
    if (!CheckJobChoices(command->mask, command->backupFile, !command->password.empty(),
                         command->password, command->password, prompter))
        return 2;

    // A job for a profile the machine does not have would fail every time.
    const auto opened = OpenEnvironment({cmd.prefix, cmd.windowsUser, cmd.windowsRoot}, prompter);
    Environment& env = *opened;
    env.Discover();
    const auto& profiles = env.session().profiles;
    if (std::find(profiles.begin(), profiles.end(), command->profile) == profiles.end()) {
        const MessageId missing = env.readOnlySource() ? MessageId::NoProfileForJobInUserFolder
                                                       : MessageId::NoProfileForJobInPrefix;
        err << MessageText(MessageId::ProgramLine,
                           MessageText(missing, command->profile, env.prefix.root().string()))
            << '\n';
        return 2;
    }

    JobChoices choices;
    choices.startTime = cmd.startTime;
    choices.dayList = cmd.days.value_or("");
    choices.profileName = command->profile;
    choices.itemMask = command->mask;
    choices.password = command->password;
    // Cron starts jobs in the home folder: a relative name would move.
    choices.targetFile = std::filesystem::absolute(command->backupFile).string();
    choices.keep = cmd.keep;
    const TaskScheduler scheduler = ForWindowsUserFolder(
        ThisUsersScheduler(CommandLineProgram(), std::filesystem::absolute(env.prefix.root())),
        env);
    switch (RegisterJob(choices, scheduler, prompter).result) {
    case RegisterResult::Registered:
        return 0;
    case RegisterResult::Refused:
        return 2;
    case RegisterResult::Failed:
    case RegisterResult::NotRunning:
        break;
    }
    return 1;
}

} // namespace trelmig
