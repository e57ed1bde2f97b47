#include "backup/VersionKvx.h"
#include "cli/BackupFileArgument.h"
#include "cli/CommandLine.h"
#include "cli/RepositoryArgument.h"
#include "cli/Verbs.h"
#include "core/Message.h"
#include "platform/WorkFolder.h"

#include <ostream>

namespace trelmig {

int RunImportKvx(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    const auto repository = ReadRepositoryArgument(cmd, err);
    if (!repository)
        return 2;
    try {
        const WorkFolder work;
        const VersionKvxOrder order{repository->address, repository->passphrase, {},
                                    cmd.kvxFile,         repository->passphrase, work.path()};
        const auto imported = ImportKvxAsVersion(order, AnsiCodec(CodePageAtHand(cmd)));
        if (!imported) {
            err << MessageText(MessageId::ProgramLine, imported.error().message) << '\n';
            return 1;
        }
        out << MessageText(MessageId::VersionImported, cmd.kvxFile, imported->name) << '\n';
    } catch (const std::exception& e) {
        err << MessageText(MessageId::ProgramLine, e.what()) << '\n';
        return 1;
    }
    return 0;
}

} // namespace trelmig
