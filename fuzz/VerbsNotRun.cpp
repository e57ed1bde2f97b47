// The command-line harness only parses: the option table names every verb's
// run function, which would pull in the disc and restore code the fuzzing
// build leaves out. These stand in for them and are never called.
#include "cli/Verbs.h"

#include <cstdlib>

namespace trelmig {

#define TRELMIG_VERB_NOT_RUN(name)                                                                 \
    int name(const CommandLine&, std::ostream&, std::ostream&) {                                   \
        std::abort();                                                                              \
    }

TRELMIG_VERB_NOT_RUN(RunListProfiles)
TRELMIG_VERB_NOT_RUN(RunListPrefixes)
TRELMIG_VERB_NOT_RUN(RunInspect)
TRELMIG_VERB_NOT_RUN(RunVerify)
TRELMIG_VERB_NOT_RUN(RunRestoreCommand)
TRELMIG_VERB_NOT_RUN(RunUndoRestore)
TRELMIG_VERB_NOT_RUN(RunUnattendedBackup)
TRELMIG_VERB_NOT_RUN(RunScheduleCommand)
TRELMIG_VERB_NOT_RUN(RunListJobs)
TRELMIG_VERB_NOT_RUN(RunRemoveJob)
TRELMIG_VERB_NOT_RUN(RunAwaitNotification)
TRELMIG_VERB_NOT_RUN(RunMoveJobs)
TRELMIG_VERB_NOT_RUN(RunListVersions)
TRELMIG_VERB_NOT_RUN(RunMakeRepository)
TRELMIG_VERB_NOT_RUN(RunExportKvx)
TRELMIG_VERB_NOT_RUN(RunImportKvx)

int RunWriteIso(const std::string&, const std::string&, const std::vector<std::string>&,
                std::ostream&, std::ostream&) {
    std::abort();
}

} // namespace trelmig
