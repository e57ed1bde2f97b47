#pragma once

#include <filesystem>

namespace trelmig {

// The program comes as two files side by side: the command line, which links
// no window library, so that a restore or an unattended backup starts
// without loading them; and the same program with the windows, which the
// command line hands over to when it is asked for them.
inline constexpr const char* kCommandLineProgramName = "trelmig";
inline constexpr const char* kWindowProgramName = "trelmig-window";

// The command-line program, which jobs start: this process's own
// (/proc/self/exe), or, in the window program, the command line beside it
// where there is one.
std::filesystem::path CommandLineProgram();
// The same for the program file running.
std::filesystem::path CommandLineProgramFor(const std::filesystem::path& running);

// Replaces this process by the window program beside this one, given argv.
// Returns only when that fails, with the error number.
int RunWindowProgramInstead(char** argv);

} // namespace trelmig
