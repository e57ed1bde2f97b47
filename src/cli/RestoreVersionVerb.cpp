#include "cli/CommandLine.h"
#include "cli/RepositoryArgument.h"
#include "cli/Verbs.h"

namespace trelmig {

// The version becomes a .kvx in the run's private work folder, which the
// restore of a backup file then takes as it is: the same confirmation, undo
// record and all-or-nothing items.
int RunRestoreVersion(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    return RunOnVersionAsBackupFile(cmd, out, err, RunRestoreCommand);
}

} // namespace trelmig
