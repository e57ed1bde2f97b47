#include "cli/CommandLine.h"
#include "cli/RepositoryArgument.h"
#include "cli/Verbs.h"
#include "core/Message.h"
#include "repository/Repository.h"

#include <ostream>

namespace trelmig {

int RunVerifyRepository(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    const auto repository = ReadRepositoryArgument(cmd, err);
    if (!repository)
        return 2;
    const auto checked = CheckRepository(repository->address, repository->passphrase, cmd.readData);
    if (!checked) {
        err << MessageText(MessageId::ProgramLine, checked.error().message) << '\n';
        return 1;
    }
    out << MessageText(MessageId::RepositorySound, repository->address.url) << '\n';
    return 0;
}

} // namespace trelmig
