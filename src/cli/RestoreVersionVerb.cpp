#include "backup/VersionKvx.h"
#include "cli/BackupFileArgument.h"
#include "cli/CommandLine.h"
#include "cli/RepositoryArgument.h"
#include "cli/Verbs.h"
#include "core/Message.h"
#include "platform/WorkFolder.h"

#include <ostream>

namespace trelmig {

// The version becomes a .kvx in the run's private work folder, which the
// restore of a backup file then takes as it is: the same confirmation, undo
// record and all-or-nothing items.
int RunRestoreVersion(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    const auto repository = ReadRepositoryArgument(cmd, err);
    if (!repository)
        return 2;
    CommandLine fromFile = cmd;
    fromFile.repository.reset();
    fromFile.passwordFile.reset();
    try {
        const WorkFolder work;
        fromFile.archive = (work.path() / "version.kvx").string();
        const VersionKvxOrder order{repository->address,
                                    repository->passphrase,
                                    cmd.versionName,
                                    fromFile.archive,
                                    {},
                                    (work.path() / "unpacked").string()};
        const auto exported = ExportVersionAsKvx(order, AnsiCodec(CodePageAtHand(cmd)));
        if (!exported) {
            err << MessageText(MessageId::ProgramLine, exported.error().message) << '\n';
            return 2;
        }
        return RunRestoreCommand(fromFile, out, err);
    } catch (const std::exception& e) {
        err << MessageText(MessageId::ProgramLine, e.what()) << '\n';
        return 1;
    }
}

} // namespace trelmig
