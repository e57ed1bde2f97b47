#pragma once

#include "cli/CommandLine.h"
#include "core/Message.h"

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trelmig {

struct CommandOption;

// A verb named on the command line, with the last value it was given.
struct AskedVerb {
    const CommandOption* option;
    std::string value;
};

// What the arguments ask for, before one mode is chosen from it.
struct Requests {
    // The verbs named, each once, in the order they came.
    std::vector<AskedVerb> verbs;
    // A --keep-* option whose value is no count.
    std::optional<Message> badKeep;
    // The arguments that are no option, joined by blanks.
    std::string rest;
};

// What an option reads after its name.
enum class Takes {
    Nothing,
    Value, // "--name value" or "--name=value"
    // As Value, but with "--repository" next the option has no value (--restore
    // and --verify of a repository's version).
    ValueOrRepository,
    OptionalNumber, // "--name", "--name N" or "--name=N"
};

// The options that go only with some verbs; each verb lists those it takes.
enum Companion : unsigned {
    WithVolume = 1U << 0,           // --volume
    WithKeep = 1U << 1,             // --keep-last and the others
    WithCreate = 1U << 2,           // --create
    WithWindowsUser = 1U << 3,      // --windows-user
    WithKeepPasswordFile = 1U << 4, // --keep-password-file
    WithAtOrDays = 1U << 5,         // --at, --days
    WithRepository = 1U << 6,       // --repository
    WithVersionName = 1U << 7,      // --version-name
    WithReadData = 1U << 8,         // --read-data
};

// One option of the command line, or a verb: the options that choose what
// the program does (--inspect, --schedule, ...) and the two ways without
// one, the unattended backup line and the window. The table drives the
// reading of the arguments, the choice of the mode, the help text and the
// run of the verb.
struct CommandOption {
    std::string_view name = {};  // "--inspect"; empty for the two without an option
    std::string_view alias = {}; // "-h"
    Takes takes = Takes::Nothing;
    // The mode whatever else the arguments say (--help, --version): reading
    // stops at it.
    bool decidesAlone = false;
    // Keeps what the option says in the command line.
    void (*store)(std::string_view name, const std::string& value, CommandLine& cmd,
                  Requests& asked) = nullptr;
    // For a verb: its mode, the companions it goes with, whether the
    // arguments that are no option are its own (no other option is then
    // checked against it), and whether it works on the prefix (an unusable
    // --prefix is refused before it runs).
    std::optional<CommandLine::Mode> verb = std::nullopt;
    unsigned companions = 0;
    bool ownsRest = false;
    bool readsPrefix = false;
    // Once it is the verb asked for: what it still needs (it refuses through
    // cmd) and whatever it keeps of the arguments.
    void (*complete)(CommandLine& cmd, const Requests& asked) = nullptr;
    int (*run)(const CommandLine& cmd, std::ostream& out, std::ostream& err) = nullptr;
    // Its lines of --help, in the table's order.
    std::string_view help = {};
};

// Every option and verb, in the order of the help text.
std::span<const CommandOption> CommandOptions();

// The verb of a mode; nullptr for the modes that are no verb (Invalid).
const CommandOption* VerbOf(CommandLine::Mode mode);

// The verb run without an option: the unattended line, or else the window.
const CommandOption& UnattendedVerb();
const CommandOption& WindowVerb();

// Runs the verb of cmd's mode; the window and a refused line are main's.
int RunVerb(const CommandLine& cmd, std::ostream& out, std::ostream& err);

} // namespace trelmig
