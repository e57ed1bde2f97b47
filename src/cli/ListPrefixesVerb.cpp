#include "cli/Verbs.h"

#include "app/PrefixSummary.h"
#include "cli/CommandLine.h"
#include "platform/WinePrefixFinder.h"

#include <ostream>

namespace trelmig {

int RunListPrefixes(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    std::vector<FoundPrefix> prefixes;
    if (cmd.prefix)
        prefixes.push_back({*cmd.prefix, "--prefix"});
    for (auto& found : FindWinePrefixes(PrefixPlaces::FromEnvironment())) {
        std::error_code ec;
        if (cmd.prefix && std::filesystem::equivalent(*cmd.prefix, found.root, ec))
            continue;
        prefixes.push_back(std::move(found));
    }
    if (prefixes.empty()) {
        err << "trelmig: no Wine prefix found (looked at $WINEPREFIX, ~/.wine and the bottles of "
               "CrossOver, Bottles, PlayOnLinux, Lutris and winetricks)\n";
        return 1;
    }
    bool first = true;
    for (const FoundPrefix& found : prefixes) {
        if (!first)
            out << '\n';
        first = false;
        out << "Wine prefix: " << found.root.string() << " (" << found.origin << ")\n";
        const PrefixSummary summary = SummarizePrefix(WinePrefix(found.root));
        if (!summary.error.empty()) {
            out << "  unreadable: " << summary.error << '\n';
            continue;
        }
        if (summary.profiles.empty()) {
            out << "  Outlook: no mail profile found\n";
            continue;
        }
        out << "  Outlook: " << (summary.outlook.empty() ? "unknown release" : summary.outlook)
            << '\n';
        for (const auto& profile : summary.profiles) {
            out << "  Profile \"" << profile.name << "\"\n";
            for (const auto& file : profile.dataFiles)
                out << "    data file  " << file.path << (file.exists ? "" : " (missing)") << '\n';
        }
    }
    return 0;
}

} // namespace trelmig
