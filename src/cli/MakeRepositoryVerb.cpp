#include "cli/CommandLine.h"
#include "cli/RepositoryArgument.h"
#include "cli/Verbs.h"
#include "core/Message.h"
#include "repository/Repository.h"

#include <ostream>

namespace trelmig {

int RunMakeRepository(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    const auto repository = ReadRepositoryArgument(cmd, err);
    if (!repository)
        return 2;
    if (const auto made = MakeRepository(repository->address, repository->passphrase); !made) {
        err << MessageText(MessageId::ProgramLine, made.error().message) << '\n';
        return 1;
    }
    out << MessageText(MessageId::RepositoryMade, repository->address.url) << '\n';
    return 0;
}

} // namespace trelmig
