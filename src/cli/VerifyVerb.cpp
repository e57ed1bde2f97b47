#include "cli/Verbs.h"

#include "archive/ArchiveVerify.h"
#include "archive/ZipArchive.h"
#include "cli/BackupFileArgument.h"
#include "cli/CommandLine.h"
#include "cli/ConsolePrompter.h"
#include "core/Message.h"
#include "core/PasswordPrompt.h"

#include <exception>
#include <ostream>

namespace trelmig {

int RunVerify(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    if (cmd.repository)
        return RunVerifyRepository(cmd, out, err);
    ConsolePrompter prompter(err);
    if (const std::string problem = BackupFileArgumentProblem(cmd); !problem.empty()) {
        err << problem << '\n';
        return 2;
    }
    std::string password;
    if (ZipArchive::IsPasswordProtected(cmd.archive).value_or(false)) {
        const auto typed = CommandLinePasswordPrompt(cmd, prompter)->AskPassword();
        if (!typed)
            return 2;
        password = *typed;
    }
    const ArchiveVerdict verdict =
        VerifyArchive(cmd.archive, password, AnsiCodec(CodePageAtHand(cmd)));
    switch (verdict.state) {
    case ArchiveVerdict::State::Sound:
        out << MessageText(MessageId::ArchiveSound, cmd.archive) << '\n';
        return 0;
    case ArchiveVerdict::State::Damaged:
        err << MessageText(MessageId::ArchiveDamaged, cmd.archive, verdict.entry, verdict.reason)
            << '\n';
        return 1;
    case ArchiveVerdict::State::Refused:
        break;
    }
    err << MessageText(MessageId::ArchiveRefused, cmd.archive, verdict.reason) << '\n';
    return 2;
}

} // namespace trelmig
