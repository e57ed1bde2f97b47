#include "cli/Verbs.h"

#include "cli/BackupFileArgument.h"
#include "cli/ConsolePrompter.h"
#include "platform/Text.h"

#include <ostream>

namespace trelmig {

namespace {

std::string withLf(const std::string& text) {
    return ReplaceAll(text, "\r\n", "\n");
}

} // namespace

int RunInspect(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    ConsolePrompter prompter(err);
    const InspectedArchive result = InspectBackupFileAlone(cmd, prompter);
    if (!result.accepted)
        return 2;
    out << "Backup file: " << result.path << '\n'
        << withLf(result.facts) << '\n'
        << "Description:\n"
        << withLf(result.description) << '\n'
        << "Items:\n";
    for (int k = 0; k < kItemCount; ++k)
        out << "  "
            << (result.restoreEnabled[static_cast<std::size_t>(k)] ? "present  " : "absent   ")
            << itemCatalogue()[static_cast<std::size_t>(k)].caption << '\n';
    return 0;
}

} // namespace trelmig
