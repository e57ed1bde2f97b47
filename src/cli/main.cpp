#include "cli/CommandLine.h"
#include "cli/PrefixRefusal.h"
#include "cli/Verbs.h"
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
        switch (cmd.mode) {
        case CommandLine::Mode::Help:
            std::cout << HelpText();
            return 0;
        case CommandLine::Mode::Version:
            std::cout << VersionText();
            return 0;
        case CommandLine::Mode::Invalid:
            std::cerr << MessageText(MessageId::ProgramLine, cmd.error) << '\n';
            return 2;
        case CommandLine::Mode::ListProfiles:
            return RunListProfiles(cmd, std::cout, std::cerr);
        case CommandLine::Mode::ListPrefixes:
            return RunListPrefixes(cmd, std::cout, std::cerr);
        case CommandLine::Mode::Inspect:
            return RunInspect(cmd, std::cout, std::cerr);
        case CommandLine::Mode::Verify:
            return RunVerify(cmd, std::cout, std::cerr);
        case CommandLine::Mode::Restore:
            return RunRestoreCommand(cmd, std::cout, std::cerr);
        case CommandLine::Mode::UndoRestore:
            return RunUndoRestore(cmd, std::cout, std::cerr);
        case CommandLine::Mode::Schedule:
            return RunScheduleCommand(cmd, std::cout, std::cerr);
        case CommandLine::Mode::ListJobs:
            return RunListJobs(cmd, std::cout, std::cerr);
        case CommandLine::Mode::AwaitNotification:
            return RunAwaitNotification(cmd, std::cout, std::cerr);
        case CommandLine::Mode::MoveJobs:
            return RunMoveJobs(cmd, std::cout, std::cerr);
        case CommandLine::Mode::RemoveJob:
            return RunRemoveJob(cmd, std::cout, std::cerr);
        case CommandLine::Mode::WriteIso:
            return RunWriteIso(cmd.isoTarget, cmd.volume, cmd.unattendedArgs, std::cout, std::cerr);
        case CommandLine::Mode::Unattended:
            return RunUnattendedBackup(cmd, std::cout, std::cerr);
        case CommandLine::Mode::Gui:
            return runGui(argc, argv, cmd.prefix, cmd.openFile, cmd.windowsUser, cmd.windowsRoot);
        }
    } catch (const std::exception& e) {
        std::cerr << MessageText(MessageId::ProgramLine, e.what()) << '\n';
        return 1;
    }
    return 0;
}
