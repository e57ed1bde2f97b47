#include "cli/CommandLine.h"

#include "cli/Verbs.h"
#include "core/ItemCatalogue.h"
#include "core/ItemMask.h"
#include "core/Message.h"
#include "platform/CronJobLine.h"
#include "restore/RestoreUndo.h"
#include "schedule/AutoBackup.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#ifndef TRELMIG_VERSION
#define TRELMIG_VERSION "unknown"
#endif

namespace trelmig {

namespace {

// A lone backup file (trelmig FILE.kvx, as file managers start us) opens the
// window on it. A line the unattended run accepts stays an unattended run,
// and so does a broken one that names no existing file: its error is shown.
bool isBackupFileToOpen(const std::vector<std::string>& args) {
    if (args.size() != 1)
        return false;
    const std::string& arg = args.front();
    std::string tail = arg.size() > 4 ? arg.substr(arg.size() - 4) : std::string();
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (tail != ".kvx")
        return false;
    std::string error;
    if (ParseAutoBackupCommand(args, error))
        return false;
    std::error_code ec;
    return arg.find('=') == std::string::npos || std::filesystem::is_regular_file(arg, ec);
}

// The options whose value is the next argument, or follows "=".
constexpr const char* kValueOptions[] = {
    "--prefix",     "--inspect",       "--verify",      "--restore",      "--profile",
    "--items",      "--password-file", "--schedule",    "--at",           "--days",
    "--remove-job", "--write-iso",     "--volume",      "--windows-user", "--windows-root",
    "--keep-last",  "--keep-daily",    "--keep-weekly", "--keep-monthly", "--await-notification"};

bool takesValue(std::string_view arg) {
    return std::ranges::any_of(kValueOptions, [&](const char* name) { return arg == name; });
}

// What the arguments ask for, before one mode is chosen from it.
struct Requests {
    bool listProfiles = false;
    bool listPrefixes = false;
    bool inspect = false;
    bool verify = false;
    bool restore = false;
    bool schedule = false;
    bool listJobs = false;
    bool moveJobs = false;
    bool awaitNotification = false;
    // A --keep-* option whose value is no count.
    std::optional<Message> badKeep;
    bool writeIso = false;
    bool undo = false;
    std::optional<std::string> removeJob;
    // The arguments that are no option, joined by blanks.
    std::string rest;

    int actions() const {
        return int(listProfiles) + int(listPrefixes) + int(inspect) + int(verify) + int(restore) +
               int(schedule) + int(listJobs) + int(removeJob.has_value()) + int(writeIso) +
               int(undo) + int(moveJobs) + int(awaitNotification);
    }
};

CommandLine& refuse(CommandLine& cmd, MessageId why, std::vector<std::string> values = {}) {
    cmd.mode = CommandLine::Mode::Invalid;
    cmd.error = Message{why, std::move(values)}.Text();
    return cmd;
}

void storeKeep(std::string_view name, const std::string& value, CommandLine& cmd, Requests& asked) {
    const auto count = ParseCronNumber(value);
    if (!count || *count > 100000) {
        asked.badKeep = Message{MessageId::KeepNotANumber, {std::string(name), value}};
        return;
    }
    KeepPolicy& keep = cmd.keep ? *cmd.keep : cmd.keep.emplace();
    if (int* kept = KeepCountOf(keep, name))
        *kept = *count;
}

void storeValue(std::string_view name, const std::string& value, CommandLine& cmd,
                Requests& asked) {
    if (name == "--prefix")
        cmd.prefix = value;
    else if (name == "--inspect")
        asked.inspect = true, cmd.archive = value;
    else if (name == "--verify")
        asked.verify = true, cmd.archive = value;
    else if (name == "--restore")
        asked.restore = true, cmd.archive = value;
    else if (name == "--profile")
        cmd.profile = value;
    else if (name == "--items")
        cmd.items = value;
    else if (name == "--schedule")
        asked.schedule = true, cmd.scheduleCommand = value;
    else if (name == "--at")
        cmd.startTime = value;
    else if (name == "--days")
        cmd.days = value;
    else if (name == "--remove-job")
        asked.removeJob = value;
    else if (name == "--write-iso")
        asked.writeIso = true, cmd.isoTarget = value;
    else if (name == "--volume")
        cmd.volume = value;
    else if (name == "--windows-user")
        cmd.windowsUser = value;
    else if (name == "--windows-root")
        cmd.windowsRoot = value;
    else if (name == "--await-notification")
        asked.awaitNotification = true, cmd.notificationId = ParseCronNumber(value).value_or(0);
    else if (name.starts_with("--keep-"))
        storeKeep(name, value, cmd, asked);
    else
        cmd.passwordFile = value;
}

enum class Taken { No, Yes, MissingValue };

// An option that takes a value, as "--name value" or "--name=value", at
// argv[i]; i moves past a value in the next argument.
Taken takeValueOption(int argc, const char* const* argv, int& i, CommandLine& cmd,
                      Requests& asked) {
    const std::string arg = argv[i];
    for (const char* name : kValueOptions) {
        const std::string n = name;
        if (arg == n) {
            if (i + 1 >= argc) {
                refuse(cmd, MessageId::OptionNeedsValue, {n});
                return Taken::MissingValue;
            }
            storeValue(n, argv[++i], cmd, asked);
            return Taken::Yes;
        }
        if (arg.starts_with(n + "=")) {
            storeValue(n, arg.substr(n.size() + 1), cmd, asked);
            return Taken::Yes;
        }
    }
    return Taken::No;
}

// --undo-restore [N] or --undo-restore=N: the number is optional, the next
// argument when it is one.
void takeUndoNumber(int argc, const char* const* argv, int& i, CommandLine& cmd) {
    const std::string arg = argv[i];
    std::string number = arg.size() > 14 ? arg.substr(15) : std::string();
    if (arg.size() == 14 && i + 1 < argc && *argv[i + 1] &&
        std::string(argv[i + 1]).find_first_not_of("0123456789") == std::string::npos)
        number = argv[++i];
    cmd.undoNumber = number.empty() ? 1 : ParseCronNumber(number).value_or(0);
}

// Reads the arguments into cmd and asked; false when they decided the mode
// already (help, version, or a refusal).
bool readArguments(int argc, const char* const* argv, CommandLine& cmd, Requests& asked) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            cmd.mode = CommandLine::Mode::Help;
            return false;
        }
        if (arg == "--version") {
            cmd.mode = CommandLine::Mode::Version;
            return false;
        }
        const Taken taken = takeValueOption(argc, argv, i, cmd, asked);
        if (taken == Taken::MissingValue)
            return false;
        if (taken == Taken::Yes)
            continue;
        if (arg == "--list-profiles") {
            asked.listProfiles = true;
        } else if (arg == "--list-prefixes") {
            asked.listPrefixes = true;
        } else if (arg == "--create") {
            cmd.createProfile = true;
        } else if (arg == "--undo-restore" || arg.starts_with("--undo-restore=")) {
            asked.undo = true;
            takeUndoNumber(argc, argv, i, cmd);
        } else if (arg == "--keep-password-file") {
            cmd.keepPasswordFile = true;
        } else if (arg == "--list-jobs") {
            asked.listJobs = true;
        } else if (arg == "--move-jobs") {
            asked.moveJobs = true;
        } else if (arg.starts_with("--")) {
            refuse(cmd, MessageId::UnknownOption, {arg});
            return false;
        } else {
            if (!asked.rest.empty())
                asked.rest += ' ';
            asked.rest += arg;
            cmd.unattendedArgs.push_back(arg);
        }
    }
    return true;
}

// The options that go only with another one, and the verbs that need more
// options; false (cmd refused) when a combination is wrong.
bool combinationAccepted(CommandLine& cmd, const Requests& asked) {
    const int actions = asked.actions();
    if (!cmd.volume.empty() && !asked.writeIso)
        return refuse(cmd, MessageId::VolumeGoesWithWriteIso), false;
    if (actions > 1 || (actions == 1 && !asked.rest.empty()))
        return refuse(cmd, MessageId::ChooseOneAction), false;
    if (asked.badKeep)
        return refuse(cmd, asked.badKeep->id, asked.badKeep->values), false;
    if (cmd.keep && !(asked.schedule && actions == 1) && (actions > 0 || asked.rest.empty()))
        return refuse(cmd, MessageId::KeepGoesWithBackup), false;
    if (cmd.createProfile && !asked.restore)
        return refuse(cmd, MessageId::CreateGoesWithRestore), false;
    if (cmd.windowsRoot && !cmd.windowsUser)
        return refuse(cmd, MessageId::WindowsRootGoesWithUser), false;
    if (cmd.windowsUser && cmd.prefix)
        return refuse(cmd, MessageId::PrefixOrWindowsUser), false;
    // Nothing is ever written into a Windows user folder.
    if (cmd.windowsUser && actions == 1 && !asked.listProfiles && !asked.schedule)
        return refuse(cmd, MessageId::WindowsUserGoesWith), false;
    if (asked.undo)
        return true;
    if (cmd.keepPasswordFile && !asked.removeJob)
        return refuse(cmd, MessageId::KeepPasswordFileGoesWithRemove), false;
    if (!asked.schedule && (!cmd.startTime.empty() || cmd.days))
        return refuse(cmd, MessageId::AtAndDaysGoWithSchedule), false;
    if (asked.schedule && cmd.startTime.empty())
        return refuse(cmd, MessageId::ScheduleNeedsAt), false;
    return true;
}

// The one mode the arguments ask for, or the reason they are refused.
void chooseMode(CommandLine& cmd, const Requests& asked) {
    using Mode = CommandLine::Mode;
    if (asked.writeIso && asked.actions() == 1) {
        if (asked.rest.empty())
            refuse(cmd, MessageId::WriteIsoNeedsFiles);
        else
            cmd.mode = Mode::WriteIso;
        return;
    }
    if (!combinationAccepted(cmd, asked))
        return;
    if (asked.undo) {
        cmd.mode = Mode::UndoRestore;
        if (cmd.undoNumber <= 0 || cmd.undoNumber > static_cast<int>(kUndoRecordsKept))
            refuse(cmd, MessageId::UndoNumberOutOfRange, {std::to_string(kUndoRecordsKept)});
    } else if (asked.schedule) {
        cmd.mode = Mode::Schedule;
    } else if (asked.listJobs) {
        cmd.mode = Mode::ListJobs;
    } else if (asked.moveJobs) {
        cmd.mode = Mode::MoveJobs;
    } else if (asked.awaitNotification) {
        cmd.mode = Mode::AwaitNotification;
    } else if (asked.removeJob) {
        cmd.jobNumber = ParseCronNumber(*asked.removeJob).value_or(0);
        cmd.mode = Mode::RemoveJob;
        if (cmd.jobNumber <= 0)
            refuse(cmd, MessageId::RemoveJobNeedsNumber);
    } else if (asked.restore && (cmd.profile.empty() || !ItemMask::Parse(cmd.items))) {
        refuse(cmd, MessageId::RestoreNeedsProfileAndItems);
    } else if (asked.inspect) {
        cmd.mode = Mode::Inspect;
    } else if (asked.verify) {
        cmd.mode = Mode::Verify;
    } else if (asked.restore) {
        cmd.mode = Mode::Restore;
    } else if (asked.listProfiles) {
        cmd.mode = Mode::ListProfiles;
    } else if (asked.listPrefixes) {
        cmd.mode = Mode::ListPrefixes;
    } else if (isBackupFileToOpen(cmd.unattendedArgs)) {
        cmd.openFile = cmd.unattendedArgs.front();
        cmd.unattendedArgs.clear();
    } else if (!asked.rest.empty()) {
        cmd.mode = Mode::Unattended;
        cmd.strCommandLine = asked.rest;
    }
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
    return "Usage: trelmig [--prefix DIR] [FILE.kvx]\n"
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
           "\n"
           "  --prefix DIR      the Wine prefix (default: $WINEPREFIX, else ~/.wine; the\n"
           "                    window opens the prefix it opened last before ~/.wine)\n"
           "  --list-profiles   list the Outlook profiles and which items each can back up\n"
           "  --list-prefixes   list the Wine prefixes found ($WINEPREFIX, ~/.wine, the\n"
           "                    bottles of CrossOver, Bottles, PlayOnLinux, Lutris and\n"
           "                    winetricks), each with its Outlook and profiles, and the\n"
           "                    user folders of Windows partitions mounted under\n"
           "                    /media/$USER, /run/media/$USER and /mnt\n"
           "  --windows-user DIR  read the Outlook of a Windows user folder (a mounted\n"
           "                    Windows partition's Users\\NAME, or a copy of it) instead\n"
           "                    of a prefix, for --list-profiles, sf=... bf=..., --schedule\n"
           "                    or the window; nothing is ever written there\n"
           "  --windows-root DIR  the Windows partition of that user folder (the folder\n"
           "                    holding Windows\\System32\\config); found by itself when\n"
           "                    the user folder is on it\n"
           "  --inspect FILE    show what a backup file holds\n"
           "  --verify FILE     read a backup file back: every entry decoded and checked\n"
           "                    (CRC-32, AES authentication) and every file its items\n"
           "                    name present; 0 sound, 1 damaged (the entry is named),\n"
           "                    2 refused (not a readable backup file, or a wrong password)\n"
           "  --restore FILE --profile NAME --items MASK\n"
           "                    restore the items of MASK (eight 0/1, in the order of the\n"
           "                    main window) from FILE into the profile NAME\n"
           "  --create          with --restore: make the profile NAME new (it becomes the\n"
           "                    default profile when there is none)\n"
           "  --undo-restore [N] put back what the last restore (or the Nth last, up to 5)\n"
           "                    replaced, all or nothing; refused while Wine runs\n"
           "  --password-file F read the password of a protected backup file from F\n"
           "                    (without it, the password is asked at the terminal);\n"
           "                    with sf=... ps=... bf=..., the backup's password (ps= empty)\n"
           "  --schedule \"sf=PROFILExm=ITEMSps=PASSWORDbf=ARCHIVE\" --at HH:MM [--days LIST]\n"
           "                    schedule that backup as a systemd user timer (a run missed\n"
           "                    while the computer was off runs at its next start), or in\n"
           "                    your crontab where no user manager runs, on the days of LIST\n"
           "                    (M,T,W,TH,F,S,SU), or once at the next HH:MM without --days;\n"
           "                    with --keep-last and the others below, it keeps versions\n"
           "  --list-jobs       list the scheduled backups, their next and last runs\n"
           "  --move-jobs       turn the backups scheduled in your crontab into timers\n"
           "  --remove-job N    remove the scheduled backup N\n"
           "  --write-iso OUT.iso [--volume NAME] PATH...\n"
           "                    write files and folders into a disc image file, read it\n"
           "                    back and compare every file with its source\n"
           "  -h, --help        show this help\n"
           "  --version         show the version and the licence\n"
           "\n"
           "  sf=... xm=... ps=... bf=...   back up without a window (as scheduled jobs do)\n"
           "  --keep-last N --keep-daily D --keep-weekly W --keep-monthly M\n"
           "                    with sf=...: keep versions NAME-YYYY-MM-DD-HHMMSS.kvx beside\n"
           "                    the backup file instead of replacing it: the last N, the\n"
           "                    newest of each of D days, W weeks and M months (options not\n"
           "                    given: 3, 7, 4, 6); older ones are removed once the new one\n"
           "                    was verified. Each run is logged in\n"
           "                    $XDG_STATE_HOME/trelmig/runs.log\n"
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
