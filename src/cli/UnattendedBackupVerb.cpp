#include "cli/Verbs.h"

#include "cli/CommandLine.h"
#include "core/Message.h"
#include "schedule/AutoBackup.h"
#include "schedule/JobPasswordFile.h"

#include <ostream>

namespace trelmig {

int RunUnattendedBackup(const CommandLine& cmd, std::ostream&, std::ostream& err) {
    std::optional<std::string> password;
    if (cmd.passwordFile) {
        try {
            password = ReadPasswordFile(*cmd.passwordFile);
        } catch (const std::exception& e) {
            err << MessageText(MessageId::ProgramLine, MessageText(MessageId::RunRefused, e.what()))
                << '\n';
            return 2;
        }
        // A job that runs once has removed its line already: its file goes too.
        if (IsOnceJobPasswordFile(*cmd.passwordFile))
            RemoveJobPasswordFile(*cmd.passwordFile);
    }
    std::optional<RepositoryAddress> repository;
    if (cmd.repository) {
        const auto address = ParseRepositoryAddress(*cmd.repository);
        if (!address) {
            err << MessageText(MessageId::ProgramLine,
                               MessageText(MessageId::RunRefused, address.error().message))
                << '\n';
            return 2;
        }
        repository = *address;
    }
    return RunAutoBackup(cmd.unattendedArgs,
                         MachineSource{cmd.prefix, cmd.windowsUser, cmd.windowsRoot}, err, password,
                         cmd.keep, repository);
}

} // namespace trelmig
