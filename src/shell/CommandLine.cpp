#include "shell/CommandLine.h"

#include "outlook/ItemLocations.h"
#include "shell/ConsolePrompter.h"
#include "shell/Environment.h"

#include <ostream>

namespace trelmig {

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine cmd;
    std::string rest;
    bool listProfiles = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            cmd.mode = CommandLine::Mode::Help;
            return cmd;
        }
        if (arg == "--version") {
            cmd.mode = CommandLine::Mode::Version;
            return cmd;
        }
        if (arg == "--prefix" || arg.starts_with("--prefix=")) {
            std::string value;
            if (arg == "--prefix") {
                if (i + 1 >= argc) {
                    cmd.mode = CommandLine::Mode::Invalid;
                    cmd.error = "--prefix needs a folder";
                    return cmd;
                }
                value = argv[++i];
            } else {
                value = arg.substr(9);
            }
            cmd.prefix = value;
        } else if (arg == "--list-profiles") {
            listProfiles = true;
        } else if (arg.starts_with("--")) {
            cmd.mode = CommandLine::Mode::Invalid;
            cmd.error = "unknown option " + arg + " (see --help)";
            return cmd;
        } else {
            if (!rest.empty())
                rest += ' ';
            rest += arg;
        }
    }
    if (listProfiles && !rest.empty()) {
        cmd.mode = CommandLine::Mode::Invalid;
        cmd.error = "--list-profiles takes no other arguments";
    } else if (listProfiles) {
        cmd.mode = CommandLine::Mode::ListProfiles;
    } else if (!rest.empty()) {
        cmd.mode = CommandLine::Mode::Unattended;
        cmd.strCommandLine = rest;
    }
    return cmd;
}

std::string HelpText() {
    return "Usage: trelmig [--prefix DIR] [OPTION | sf=PROFILE xm=ITEMS ps=PASSWORD bf=ARCHIVE]\n"
           "Quenvar Outlook Backup: backs up and restores the data and settings of the\n"
           "Outlook profiles of a Wine prefix.\n"
           "\n"
           "Without arguments the main window opens.\n"
           "\n"
           "  --prefix DIR      the Wine prefix (default: $WINEPREFIX, else ~/.wine)\n"
           "  --list-profiles   list the Outlook profiles and which items each can back up\n"
           "  --help            show this help\n"
           "  --version         show the version\n"
           "\n"
           "  sf=... xm=... ps=... bf=...   back up without a window (as scheduled jobs do)\n";
}

int RunListProfiles(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    ConsolePrompter prompter(err);
    const WinePrefix prefix = WinePrefix::locate(cmd.prefix);
    Environment env(prefix, prompter);
    const std::string outlook = env.Discover();
    const Session& s = env.session;
    out << "Wine prefix: " << prefix.root().string() << '\n';
    out << "Windows: " << s.strWinVersion << " (build " << s.strWinBuild << ")\n";
    out << "Computer: " << s.strComputerName << ", user: " << s.strLogonUser << '\n';
    if (s.bNoProfiles) {
        out << "Outlook: no mail profile found\n";
        err << "Your Windows System have not install MS Outlook or MS Outlook Error!\n";
        return 1;
    }
    out << "Outlook: " << (outlook.empty() ? "unknown release" : outlook) << '\n';
    out << "User folder: " << s.strUserProfile << '\n';
    for (const auto& profile : s.arrProfiles) {
        const ItemStates states = env.SelectProfile(profile);
        out << "\nProfile \"" << profile << "\"\n";
        for (int i = 0; i < kItemCount; ++i) {
            out << "  " << (states[i].enabled ? "available    " : "unavailable  ")
                << itemCatalogue()[i].caption;
            if (!states[i].enabled)
                out << " (" << states[i].reason << ")";
            out << '\n';
        }
    }
    return 0;
}

} // namespace trelmig
