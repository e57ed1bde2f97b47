#include "cli/CommandLine.h"
#include "cli/CommandOptions.h"
#include "cli/PrefixRefusal.h"
#include "core/Message.h"
#include "gui/Application.h"
#include "platform/WorkFolder.h"

#include <csignal>

#include <iostream>

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
        if (cmd.mode == CommandLine::Mode::Gui)
            return runGui(argc, argv, cmd.prefix, cmd.openFile, cmd.windowsUser, cmd.windowsRoot);
        return RunVerb(cmd, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << MessageText(MessageId::ProgramLine, e.what()) << '\n';
        return 1;
    }
}
