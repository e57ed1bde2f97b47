#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace trelmig {

struct CommandLine {
    enum class Mode { Gui, Help, Version, ListProfiles, Unattended, Invalid };
    Mode mode = Mode::Gui;
    std::optional<std::filesystem::path> prefix;
    // The unattended run's text: the arguments joined by blanks.
    std::string strCommandLine;
    std::string error;
};

// "--" options are ours; anything else is the unattended run's command line.
CommandLine ParseCommandLine(int argc, const char* const* argv);

std::string HelpText();

// Prints the profiles of the prefix with the availability of every item.
// Returns the process exit code.
int RunListProfiles(const CommandLine& cmd, std::ostream& out, std::ostream& err);

} // namespace trelmig
