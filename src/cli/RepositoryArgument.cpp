#include "cli/RepositoryArgument.h"

#include "cli/BackupFileArgument.h"
#include "cli/CommandLine.h"
#include "cli/ConsolePrompter.h"
#include "core/Message.h"
#include "core/PasswordPrompt.h"

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

} // namespace trelmig
