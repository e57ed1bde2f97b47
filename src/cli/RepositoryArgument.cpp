#include "cli/RepositoryArgument.h"

#include "backup/VersionKvx.h"
#include "cli/BackupFileArgument.h"
#include "cli/CommandLine.h"
#include "cli/ConsolePrompter.h"
#include "core/Message.h"
#include "core/PasswordPrompt.h"
#include "platform/WorkFolder.h"

#include <cstdlib>
#include <ostream>
#include <unistd.h>

namespace trelmig {

namespace {

bool environmentGivesPassphrase() {
    for (const char* name : {"BORG_PASSPHRASE", "BORG_PASSCOMMAND", "BORG_PASSPHRASE_FD"})
        if (std::getenv(name))
            return true;
    return false;
}

} // namespace

std::optional<RepositoryArgument> ReadRepositoryArgument(const CommandLine& cmd,
                                                         std::ostream& err) {
    const auto address = ParseRepositoryAddress(cmd.repository.value_or(""));
    if (!address) {
        err << MessageText(MessageId::ProgramLine, address.error().message) << '\n';
        return std::nullopt;
    }
    RepositoryArgument argument{*address, {}};
    if (!cmd.passwordFile && (environmentGivesPassphrase() || !::isatty(STDIN_FILENO)))
        return argument;
    ConsolePrompter prompter(err);
    try {
        const auto typed = CommandLinePassphrasePrompt(cmd, prompter)->AskPassword();
        if (!typed)
            return std::nullopt;
        argument.passphrase = *typed;
    } catch (const std::exception& e) {
        err << MessageText(MessageId::ProgramLine, e.what()) << '\n';
        return std::nullopt;
    }
    return argument;
}

int RunOnVersionAsBackupFile(const CommandLine& cmd, std::ostream& out, std::ostream& err,
                             BackupFileVerb verb) {
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
                                    (work.path() / "unpacked").string(),
                                    {.deflate = false, .flush = false}};
        const auto exported = ExportVersionAsKvx(order, AnsiCodec(CodePageAtHand(cmd)));
        if (!exported) {
            err << MessageText(MessageId::ProgramLine, exported.error().message) << '\n';
            return 2;
        }
        return verb(fromFile, out, err);
    } catch (const std::exception& e) {
        err << MessageText(MessageId::ProgramLine, e.what()) << '\n';
        return 1;
    }
}

} // namespace trelmig
