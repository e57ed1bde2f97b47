#include "platform/ThisProgram.h"
#include "platform/WorkFolder.h"

#include "CronShell.h"
#include "RunShell.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

// A folder holding a copy of the command line as "trelmig" and, when asked,
// a stand-in window program that writes down its arguments and exits 7.
struct InstalledCopy {
    WorkFolder folder;
    fs::path program = folder.path() / "trelmig";
    fs::path arguments = folder.path() / "arguments";

    explicit InstalledCopy(bool withWindowProgram) {
        fs::copy_file(TRELMIG_BINARY, program);
        if (!withWindowProgram)
            return;
        const fs::path window = folder.path() / "trelmig-window";
        std::ofstream(window) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > " +
                                     ShellQuoted(arguments.string()) + "\nexit 7\n";
        fs::permissions(window, fs::perms::owner_all);
    }
};

} // namespace

TEST(WindowProgram, TheCommandLineLoadsNoWindowLibraryAndHandsTheWindowsOver) {
    EXPECT_EQ(RunShell("ldd " + ShellQuoted(TRELMIG_BINARY) + " | grep -c libQt").output, "0\n");

    const InstalledCopy copy(true);
    const CommandRun run = RunShell(ShellQuoted(copy.program.string()) + " --prefix " +
                                    ShellQuoted(TRELMIG_SAMPLE_PREFIX));
    EXPECT_EQ(run.status, 7) << run.output;
    std::ifstream in(copy.arguments);
    const std::string handed((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(handed, std::string("--prefix\n") + TRELMIG_SAMPLE_PREFIX + "\n");

    // A verb stays with the command line.
    EXPECT_EQ(RunShell(ShellQuoted(copy.program.string()) + " --version").status, 0);
}

TEST(WindowProgram, WithoutTheWindowProgramTheCommandLineSaysSo) {
    const InstalledCopy copy(false);
    const CommandRun run = RunShell(ShellQuoted(copy.program.string()) + " --prefix " +
                                    ShellQuoted(TRELMIG_SAMPLE_PREFIX));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("The windows cannot be opened: trelmig-window cannot be started"),
              std::string::npos)
        << run.output;
}

// Jobs the window schedules run the command line beside it.
TEST(WindowProgram, JobsRunTheCommandLineBesideTheWindowProgram) {
    const InstalledCopy copy(true);
    const fs::path window = copy.folder.path() / "trelmig-window";
    EXPECT_EQ(CommandLineProgramFor(window), copy.program);
    EXPECT_EQ(CommandLineProgramFor(copy.program), copy.program);
    const fs::path lone = "/nowhere/bin/trelmig-window";
    EXPECT_EQ(CommandLineProgramFor(lone), lone);
}
