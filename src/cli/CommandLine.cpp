#include "cli/CommandLine.h"

#include "cli/CommandOptions.h"
#include "core/Message.h"

#include <algorithm>
#include <string_view>
#include <vector>

#ifndef TRELMIG_VERSION
#define TRELMIG_VERSION "unknown"
#endif

namespace trelmig {

namespace {

CommandLine& refuse(CommandLine& cmd, MessageId why, std::vector<std::string> values = {}) {
    cmd.mode = CommandLine::Mode::Invalid;
    cmd.error = Message{why, std::move(values)}.Text();
    return cmd;
}

bool takesValue(std::string_view arg) {
    return std::ranges::any_of(CommandOptions(), [&](const CommandOption& o) {
        return (o.takes == Takes::Value || o.takes == Takes::ValueOrRepository) && arg == o.name;
    });
}

// Decided: the mode is settled, by --help, --version or a refusal.
enum class Taken { No, Yes, Decided };

// The option at argv[i] with what it reads; i moves past a value in the next
// argument.
Taken takeOption(const CommandOption& o, int argc, const char* const* argv, int& i,
                 CommandLine& cmd, Requests& asked) {
    const std::string_view arg = argv[i];
    const bool named = arg == o.name || (!o.alias.empty() && arg == o.alias);
    const bool withValue = o.takes != Takes::Nothing && arg.size() > o.name.size() &&
                           arg.starts_with(o.name) && arg[o.name.size()] == '=';
    if (o.name.empty() || (!named && !withValue))
        return Taken::No;
    std::string value = withValue ? std::string(arg.substr(o.name.size() + 1)) : std::string();
    const bool repositoryNext =
        i + 1 < argc && std::string_view(argv[i + 1]).starts_with("--repository");
    if (named &&
        (o.takes == Takes::Value || (o.takes == Takes::ValueOrRepository && !repositoryNext))) {
        if (i + 1 >= argc) {
            refuse(cmd, MessageId::OptionNeedsValue, {std::string(o.name)});
            return Taken::Decided;
        }
        value = argv[++i];
    }
    if (named && o.takes == Takes::OptionalNumber && i + 1 < argc && *argv[i + 1] &&
        std::string_view(argv[i + 1]).find_first_not_of("0123456789") == std::string_view::npos)
        value = argv[++i];
    if (o.decidesAlone) {
        cmd.mode = *o.verb;
        return Taken::Decided;
    }
    if (o.store)
        o.store(o.name, value, cmd, asked);
    if (!o.verb)
        return Taken::Yes;
    const auto earlier =
        std::ranges::find_if(asked.verbs, [&](const AskedVerb& v) { return v.option == &o; });
    if (earlier == asked.verbs.end())
        asked.verbs.push_back({&o, value});
    else
        earlier->value = value;
    return Taken::Yes;
}

// Reads the arguments into cmd and asked; false when they decided the mode
// already (help, version, or a refusal).
bool readArguments(int argc, const char* const* argv, CommandLine& cmd, Requests& asked) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        Taken taken = Taken::No;
        for (const CommandOption& option : CommandOptions()) {
            taken = takeOption(option, argc, argv, i, cmd, asked);
            if (taken != Taken::No)
                break;
        }
        if (taken == Taken::Decided)
            return false;
        if (taken == Taken::Yes)
            continue;
        if (arg.starts_with("--")) {
            refuse(cmd, MessageId::UnknownOption, {arg});
            return false;
        }
        if (!asked.rest.empty())
            asked.rest += ' ';
        asked.rest += arg;
        cmd.unattendedArgs.push_back(arg);
    }
    return true;
}

// The verb the line runs: the one named, else the unattended line, else the
// window.
const CommandOption& verbAsked(const Requests& asked) {
    if (!asked.verbs.empty())
        return *asked.verbs.front().option;
    return asked.rest.empty() ? WindowVerb() : UnattendedVerb();
}

// The options that go only with some verbs, and the options that exclude
// each other; false (cmd refused) when a combination is wrong.
bool combinationAccepted(CommandLine& cmd, const Requests& asked) {
    const CommandOption& verb = verbAsked(asked);
    const auto goesWith = [&](Companion companion) { return (verb.companions & companion) != 0; };
    if (!cmd.volume.empty() && std::ranges::none_of(asked.verbs, [](const AskedVerb& v) {
            return (v.option->companions & WithVolume) != 0;
        }))
        return refuse(cmd, MessageId::VolumeGoesWithWriteIso), false;
    if (asked.verbs.size() > 1 || (asked.verbs.size() == 1 && !asked.rest.empty()))
        return refuse(cmd, MessageId::ChooseOneAction), false;
    if (asked.badKeep)
        return refuse(cmd, asked.badKeep->id, asked.badKeep->values), false;
    if (cmd.keep && !goesWith(WithKeep))
        return refuse(cmd, MessageId::KeepGoesWithBackup), false;
    if (cmd.createProfile && !goesWith(WithCreate))
        return refuse(cmd, MessageId::CreateGoesWithRestore), false;
    if (cmd.windowsRoot && !cmd.windowsUser)
        return refuse(cmd, MessageId::WindowsRootGoesWithUser), false;
    if (cmd.windowsUser && cmd.prefix)
        return refuse(cmd, MessageId::PrefixOrWindowsUser), false;
    // Nothing is ever written into a Windows user folder.
    if (cmd.windowsUser && !goesWith(WithWindowsUser))
        return refuse(cmd, MessageId::WindowsUserGoesWith), false;
    if (cmd.keepPasswordFile && !goesWith(WithKeepPasswordFile))
        return refuse(cmd, MessageId::KeepPasswordFileGoesWithRemove), false;
    if ((!cmd.startTime.empty() || cmd.days) && !goesWith(WithAtOrDays))
        return refuse(cmd, MessageId::AtAndDaysGoWithSchedule), false;
    if (cmd.repository && !goesWith(WithRepository))
        return refuse(cmd, MessageId::RepositoryGoesWith), false;
    if (!cmd.versionName.empty() && (!goesWith(WithVersionName) || !cmd.repository))
        return refuse(cmd, MessageId::VersionNameGoesWith), false;
    if (cmd.readData && (!goesWith(WithReadData) || !cmd.repository))
        return refuse(cmd, MessageId::ReadDataGoesWithVerify), false;
    return true;
}

// The one mode the arguments ask for, or the reason they are refused.
void chooseMode(CommandLine& cmd, const Requests& asked) {
    const CommandOption& verb = verbAsked(asked);
    // A verb whose arguments are all its own is checked by itself alone.
    const bool alone = asked.verbs.size() == 1 && verb.ownsRest;
    if (!alone && !combinationAccepted(cmd, asked))
        return;
    cmd.mode = *verb.verb;
    if (verb.complete)
        verb.complete(cmd, asked);
}

// Overwrites the password of "sf=...xm=...ps=<password>bf=..." spread over
// the given arguments (joined by one blank each): the text after the third
// "=" up to the two letters before the fourth.
void hideInCommand(const std::vector<char*>& args) {
    std::vector<char*> chars; // each character, with one null standing for each joining blank
    for (char* arg : args) {
        if (!chars.empty())
            chars.push_back(nullptr);
        for (char* c = arg; *c; ++c)
            chars.push_back(c);
    }
    std::vector<std::size_t> equals;
    for (std::size_t i = 0; i < chars.size(); ++i)
        if (chars[i] && *chars[i] == '=')
            equals.push_back(i);
    if (equals.size() != 4 || equals[3] < equals[2] + 3)
        return;
    for (std::size_t i = equals[2] + 1; i + 2 < equals[3]; ++i)
        if (chars[i])
            *chars[i] = '*';
}

constexpr const char* kHelpStart =
    "Usage: trelmig [--prefix DIR] [FILE.kvx]\n"
    "       trelmig [--prefix DIR] sf=PROFILE xm=ITEMS ps=PASSWORD bf=ARCHIVE\n"
    "       trelmig [--prefix DIR] OPTION...\n"
    "       trelmig --windows-user DIR [--windows-root DIR] --list-profiles\n"
    "       trelmig --windows-user DIR [--windows-root DIR] sf=... xm=... ps=... bf=...\n"
    "Quenvar Outlook Backup: backs up and restores the data and settings of the\n"
    "Outlook profiles of a Wine prefix.\n"
    "\n"
    "Without arguments the main window opens; with a backup file FILE.kvx it opens\n"
    "on the restore tab with that file. When a window is already open for the\n"
    "prefix, that window comes forward (and opens FILE.kvx) instead.\n"
    "\n";

// After the options' own lines.
constexpr const char* kHelpEnd =
    "\n"
    "Exit status:\n"
    "  0  done (for the window: it was closed, or the running window took over)\n"
    "  1  the work failed (nothing written, an item not restored, the job not\n"
    "     registered, the image not verified)\n"
    "  2  refused before anything was changed: a wrong command line, an unreadable\n"
    "     backup file or password, an unknown profile, no display for the window\n"
    "  3  the unattended backup wrote the backup file, but a chosen item could not\n"
    "     be gathered\n"
    "\n"
    "The manual: man trelmig\n";

} // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine cmd;
    Requests asked;
    if (readArguments(argc, argv, cmd, asked))
        chooseMode(cmd, asked);
    return cmd;
}

void HidePasswordArguments(const CommandLine& cmd, int argc, char** argv) {
    std::vector<char*> command;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (cmd.mode == CommandLine::Mode::Schedule) {
            if (arg == "--schedule" && i + 1 < argc)
                hideInCommand({argv[i + 1]});
            else if (arg.starts_with("--schedule="))
                hideInCommand({argv[i] + 11});
        } else if (cmd.mode == CommandLine::Mode::Unattended) {
            if (takesValue(arg))
                ++i;
            else if (!arg.starts_with("--"))
                command.push_back(argv[i]);
        }
    }
    if (!command.empty())
        hideInCommand(command);
}

std::string HelpText() {
    std::string text = kHelpStart;
    for (const CommandOption& option : CommandOptions())
        text += option.help;
    return text + kHelpEnd;
}

std::string VersionText() {
    return "trelmig (Quenvar Outlook Backup) " TRELMIG_VERSION "\n"
           "Copyright (C) 2026 the trelmig developers\n"
           "License GPL-3.0-or-later: GNU GPL version 3 or later "
           "<https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

} // namespace trelmig
