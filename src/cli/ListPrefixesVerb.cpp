#include "cli/Verbs.h"

#include "app/PrefixSummary.h"
#include "cli/CommandLine.h"
#include "core/Message.h"
#include "platform/WindowsPartitionFinder.h"
#include "platform/WinePrefixFinder.h"

#include <ostream>

namespace trelmig {

namespace {

void printSummary(const PrefixSummary& summary, std::ostream& out) {
    for (const std::string& warning : summary.warnings)
        out << "  warning: " << warning << '\n';
    if (!summary.error.empty()) {
        out << "  unreadable: " << summary.error << '\n';
        return;
    }
    if (summary.profiles.empty()) {
        out << "  Outlook: no mail profile found\n";
        return;
    }
    out << "  Outlook: " << (summary.outlook.empty() ? "unknown release" : summary.outlook) << '\n';
    for (const auto& profile : summary.profiles) {
        out << "  Profile \"" << profile.name << "\"\n";
        for (const auto& file : profile.dataFiles)
            out << "    data file  " << file.path << (file.exists ? "" : " (missing)") << '\n';
    }
}

} // namespace

int RunListPrefixes(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    return ListPrefixesAndPartitions(cmd, WindowsMountPlaces(), out, err);
}

int ListPrefixesAndPartitions(const CommandLine& cmd,
                              const std::vector<std::filesystem::path>& mountPlaces,
                              std::ostream& out, std::ostream& err) {
    std::vector<FoundPrefix> prefixes;
    if (cmd.prefix)
        prefixes.push_back({*cmd.prefix, "--prefix"});
    for (auto& found : FindWinePrefixes(PrefixPlaces::FromEnvironment())) {
        std::error_code ec;
        if (cmd.prefix && std::filesystem::equivalent(*cmd.prefix, found.root, ec))
            continue;
        prefixes.push_back(std::move(found));
    }
    const std::vector<FoundWindowsUser> windowsUsers = FindWindowsUsers(mountPlaces);
    if (prefixes.empty() && windowsUsers.empty()) {
        err << MessageText(MessageId::ProgramLine, MessageText(MessageId::NoPrefixOrPartitionFound))
            << '\n';
        return 1;
    }
    bool first = true;
    for (const FoundPrefix& found : prefixes) {
        if (!first)
            out << '\n';
        first = false;
        out << "Wine prefix: " << found.root.string() << " (" << found.origin << ")\n";
        printSummary(SummarizePrefix(WinePrefix(found.root)), out);
    }
    for (const FoundWindowsUser& found : windowsUsers) {
        if (!first)
            out << '\n';
        first = false;
        out << "Windows user folder: " << found.userFolder.string() << " (Windows partition "
            << found.partition.string() << "; back up with --windows-user)\n";
        printSummary(SummarizeWindowsUser(found.userFolder), out);
    }
    return 0;
}

} // namespace trelmig
