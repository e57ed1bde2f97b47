#include "cli/Verbs.h"

#include "app/Environment.h"
#include "app/MachineSource.h"
#include "app/PrefixSummary.h"
#include "cli/CommandLine.h"
#include "cli/ConsolePrompter.h"
#include "core/Message.h"
#include "outlook/ItemLocations.h"

#include <ostream>

namespace trelmig {

int RunListProfiles(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    ConsolePrompter prompter(err);
    const std::unique_ptr<Environment> opened =
        OpenEnvironment({cmd.prefix, cmd.windowsUser, cmd.windowsRoot}, prompter);
    Environment& env = *opened;
    for (const std::string& warning : env.sourceWarnings)
        err << MessageText(MessageId::WarningLine, warning) << '\n';
    const std::string outlook = env.Discover();
    const Session& s = env.session();
    out << SourceLine(env) << '\n';
    out << "Windows: " << s.windowsVersion << " (build " << s.windowsBuild << ")\n";
    out << "Computer: " << s.computerName << ", user: " << s.logonUser << '\n';
    if (s.profiles.empty()) {
        out << "Outlook: no mail profile found\n";
        err << MessageText(MessageId::OutlookNotInstalled) << '\n';
        return 1;
    }
    out << "Outlook: " << (outlook.empty() ? "unknown release" : outlook) << '\n';
    out << "User folder: " << s.userProfile << '\n';
    for (const auto& profile : s.profiles) {
        const ItemStates states = env.ItemStatesOf(profile);
        out << "\nProfile \"" << profile << "\"\n";
        for (int i = 0; i < kItemCount; ++i) {
            out << "  " << (states[i].enabled ? "available    " : "unavailable  ")
                << itemCatalogue()[i].caption;
            if (!states[i].enabled)
                out << " (" << states[i].reason << ")";
            out << '\n';
        }
        for (const auto& file : ProfileDataFiles(env, profile))
            out << "  data file    " << file.path << (file.exists ? "" : " (missing)") << '\n';
    }
    return 0;
}

} // namespace trelmig
