#include "cli/CommandLine.h"
#include "cli/CommandOptions.h"
#include "cli/PrefixRefusal.h"
#include "core/Message.h"
#include "platform/ThisProgram.h"
#include "platform/WorkFolder.h"

#include <csignal>
#include <cstring>
#include <iostream>

// Built twice: as the command line, and with the windows (TRELMIG_WINDOWS),
// to which the command line hands over when asked for them.
#ifdef TRELMIG_WINDOWS
#include "gui/Application.h"
#endif

int main(int argc, char** argv) {
    using namespace trelmig;
    // A write past the file size limit fails with "File too large" and is
    // reported and cleaned up like any other failed write, instead of killing
    // the program where it stands.
    std::signal(SIGXFSZ, SIG_IGN);
    RemoveStaleWorkFolders();
    const CommandLine cmd = ParseCommandLine(argc, argv);
    HidePasswordArguments(cmd, argc, argv);
    if (const auto refusal = MissingPrefixRefusal(cmd)) {
        std::cerr << MessageText(MessageId::ProgramLine, *refusal) << '\n';
        return 2;
    }
    try {
        if (cmd.mode == CommandLine::Mode::Invalid) {
            std::cerr << MessageText(MessageId::ProgramLine, cmd.error) << '\n';
            return 2;
        }
        if (cmd.mode == CommandLine::Mode::Gui) {
#ifdef TRELMIG_WINDOWS
            return runGui(argc, argv, cmd.prefix, cmd.openFile, cmd.windowsUser, cmd.windowsRoot);
#else
            const int err = RunWindowProgramInstead(argv);
            std::cerr << MessageText(MessageId::ProgramLine,
                                     std::string("The windows cannot be opened: ") +
                                         kWindowProgramName + " cannot be started (" +
                                         std::strerror(err) + ").")
                      << '\n';
            return 1;
#endif
        }
        return RunVerb(cmd, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << MessageText(MessageId::ProgramLine, e.what()) << '\n';
        return 1;
    }
}
