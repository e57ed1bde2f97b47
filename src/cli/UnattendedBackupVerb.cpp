#include "cli/Verbs.h"

#include "cli/CommandLine.h"
#include "schedule/AutoBackup.h"

namespace trelmig {

int RunUnattendedBackup(const CommandLine& cmd, std::ostream&, std::ostream& err) {
    return RunAutoBackup(cmd.unattendedArgs, cmd.prefix, err);
}

} // namespace trelmig
