#include "backup/VersionKvx.h"
#include "cli/BackupFileArgument.h"
#include "cli/CommandLine.h"
#include "cli/RepositoryArgument.h"
#include "cli/Verbs.h"
#include "core/Message.h"
#include "platform/WorkFolder.h"

#include <ostream>

namespace trelmig {

// The .kvx is protected by the repository's passphrase (from --password-file
// or the terminal); a repository without one gives an unprotected .kvx.
int RunExportKvx(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    const auto repository = ReadRepositoryArgument(cmd, err);
    if (!repository)
        return 2;
    try {
        const WorkFolder work;
        const VersionKvxOrder order{repository->address, repository->passphrase, cmd.versionName,
                                    cmd.kvxFile,         repository->passphrase, work.path()};
        const auto exported = ExportVersionAsKvx(order, AnsiCodec(CodePageAtHand(cmd)));
        if (!exported) {
            err << MessageText(MessageId::ProgramLine, exported.error().message) << '\n';
            return 1;
        }
        out << MessageText(MessageId::VersionExported, *exported, cmd.kvxFile) << '\n';
    } catch (const std::exception& e) {
        err << MessageText(MessageId::ProgramLine, e.what()) << '\n';
        return 1;
    }
    return 0;
}

} // namespace trelmig
