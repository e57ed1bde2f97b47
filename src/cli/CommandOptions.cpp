#include "cli/CommandOptions.h"

#include "cli/Verbs.h"
#include "core/ItemMask.h"
#include "platform/CronJobLine.h"
#include "restore/RestoreUndo.h"
#include "schedule/AutoBackup.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <ostream>

namespace trelmig {

namespace {

using Mode = CommandLine::Mode;

void refuse(CommandLine& cmd, MessageId why, std::vector<std::string> values = {}) {
    cmd.mode = Mode::Invalid;
    cmd.error = Message{why, std::move(values)}.Text();
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

// --undo-restore [N] or --undo-restore=N: the number is optional, the next
// argument when it is one (read by the parser); none is the last restore.
void storeUndoNumber(std::string_view, const std::string& number, CommandLine& cmd, Requests&) {
    cmd.undoNumber = number.empty() ? 1 : ParseCronNumber(number).value_or(0);
}

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

void completeUnattended(CommandLine& cmd, const Requests& asked) {
    if (isBackupFileToOpen(cmd.unattendedArgs)) {
        cmd.mode = Mode::Gui;
        cmd.openFile = cmd.unattendedArgs.front();
        cmd.unattendedArgs.clear();
    } else {
        cmd.unattendedLine = asked.rest;
    }
}

// --browse: what the options given with it still need.
void completeBrowse(CommandLine& cmd, const Requests&) {
    if (cmd.repository && (!cmd.archive.empty() || cmd.versionName.empty()))
        refuse(cmd, MessageId::BrowseVersionNeeds);
    else if ((cmd.mailFolder || cmd.searchText || cmd.exportFolder) && cmd.dataFile.empty())
        refuse(cmd, MessageId::BrowseNeedsDataFile);
    else if (cmd.exportFolder && !cmd.mailFolder && !cmd.searchText)
        refuse(cmd, MessageId::BrowseExportNeedsMessages);
    else if (!cmd.exportAs.empty() && cmd.exportAs != "eml" && cmd.exportAs != "mbox")
        refuse(cmd, MessageId::BrowseExportAs);
    else if (!cmd.exportAs.empty() && !cmd.exportFolder)
        refuse(cmd, MessageId::BrowseExportNeedsMessages);
}

constexpr std::array kOptions = {
    CommandOption{
        .name = "--prefix",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.prefix = v; },
        .help = "  --prefix DIR      the Wine prefix (default: $WINEPREFIX, else ~/.wine; the\n"
                "                    window opens the prefix it opened last before ~/.wine)\n",
    },
    CommandOption{
        .name = "--list-profiles",
        .verb = Mode::ListProfiles,
        .companions = WithWindowsUser,
        .readsPrefix = true,
        .run = RunListProfiles,
        .help = "  --list-profiles   list the Outlook profiles and which items each can back up\n",
    },
    CommandOption{
        .name = "--list-prefixes",
        .verb = Mode::ListPrefixes,
        .run = RunListPrefixes,
        .help = "  --list-prefixes   list the Wine prefixes found ($WINEPREFIX, ~/.wine, the\n"
                "                    bottles of CrossOver, Bottles, PlayOnLinux, Lutris and\n"
                "                    winetricks), each with its Outlook and profiles, and the\n"
                "                    user folders of Windows partitions mounted under\n"
                "                    /media/$USER, /run/media/$USER and /mnt\n",
    },
    CommandOption{
        .name = "--windows-user",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.windowsUser = v; },
        .help = "  --windows-user DIR  read the Outlook of a Windows user folder (a mounted\n"
                "                    Windows partition's Users\\NAME, or a copy of it) instead\n"
                "                    of a prefix, for --list-profiles, sf=... bf=..., --schedule\n"
                "                    or the window; nothing is ever written there\n",
    },
    CommandOption{
        .name = "--windows-root",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.windowsRoot = v; },
        .help = "  --windows-root DIR  the Windows partition of that user folder (the folder\n"
                "                    holding Windows\\System32\\config); found by itself when\n"
                "                    the user folder is on it\n",
    },
    CommandOption{
        .name = "--inspect",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.archive = v; },
        .verb = Mode::Inspect,
        .run = RunInspect,
        .help = "  --inspect FILE    show what a backup file holds\n",
    },
    CommandOption{
        .name = "--verify",
        .takes = Takes::ValueOrRepository,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.archive = v; },
        .verb = Mode::Verify,
        .companions = WithRepository | WithReadData,
        .complete =
            [](CommandLine& cmd, const Requests&) {
                if (cmd.repository && !cmd.archive.empty())
                    refuse(cmd, MessageId::ChooseOneAction);
                else if (!cmd.repository && cmd.archive.empty())
                    refuse(cmd, MessageId::OptionNeedsValue, {"--verify"});
            },
        .run = RunVerify,
        .help = "  --verify FILE     read a backup file back: every entry decoded and checked\n"
                "                    (CRC-32, AES authentication) and every file its items\n"
                "                    name present; 0 sound, 1 damaged (the entry is named),\n"
                "                    2 refused (not a readable backup file, or a wrong password)\n"
                "  --verify --repository URL [--read-data]\n"
                "                    check a BorgBackup repository (borg check); --read-data\n"
                "                    reads every stored chunk back too\n",
    },
    CommandOption{
        .name = "--browse",
        .takes = Takes::ValueOrRepository,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.archive = v; },
        .verb = Mode::Browse,
        .companions = WithBrowse | WithRepository | WithVersionName,
        .complete = completeBrowse,
        .run = RunBrowse,
        .help = "  --browse FILE     the folders of each data file in a backup file, with their\n"
                "                    message counts; 0 done, 1 a data file could not be read,\n"
                "                    2 refused\n"
                "  --browse --repository URL --version-name NAME|latest\n"
                "                    the same in a version of a BorgBackup repository\n"
                "    --data-file NAME --folder PATH [--search TEXT]\n"
                "                    the messages of one folder (date, sender, subject), those\n"
                "                    holding TEXT; --search without --folder: the whole file\n"
                "    --export DIR [--as eml|mbox]\n"
                "                    write those messages into DIR: one .eml each (eml), or\n"
                "                    one mboxrd file named after the folder (mbox)\n",
    },
    CommandOption{
        .name = "--data-file",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.dataFile = v; },
    },
    CommandOption{
        .name = "--folder",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.mailFolder = v; },
    },
    CommandOption{
        .name = "--search",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.searchText = v; },
    },
    CommandOption{
        .name = "--export",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.exportFolder = v; },
    },
    CommandOption{
        .name = "--as",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.exportAs = v; },
    },
    CommandOption{
        .name = "--restore",
        .takes = Takes::ValueOrRepository,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.archive = v; },
        .verb = Mode::Restore,
        .companions = WithCreate | WithRepository | WithVersionName,
        .readsPrefix = true,
        .complete =
            [](CommandLine& cmd, const Requests&) {
                if (cmd.repository) {
                    if (!cmd.archive.empty() || cmd.versionName.empty() || cmd.profile.empty() ||
                        !ItemMask::Parse(cmd.items))
                        refuse(cmd, MessageId::RestoreVersionNeeds);
                } else if (cmd.profile.empty() || !ItemMask::Parse(cmd.items)) {
                    refuse(cmd, MessageId::RestoreNeedsProfileAndItems);
                }
            },
        .run = RunRestoreCommand,
        .help = "  --restore FILE --profile NAME --items MASK\n"
                "                    restore the items of MASK (eight 0/1, in the order of the\n"
                "                    main window) from FILE into the profile NAME\n"
                "  --restore --repository URL --version-name NAME|latest --profile NAME\n"
                "            --items MASK\n"
                "                    the same from a version of a BorgBackup repository\n",
    },
    CommandOption{
        .name = "--create",
        .store = [](std::string_view, const std::string&, CommandLine& cmd,
                    Requests&) { cmd.createProfile = true; },
        .help = "  --create          with --restore: make the profile NAME new (it becomes the\n"
                "                    default profile when there is none)\n",
    },
    CommandOption{
        .name = "--undo-restore",
        .takes = Takes::OptionalNumber,
        .store = storeUndoNumber,
        .verb = Mode::UndoRestore,
        // It reads none of them.
        .companions = WithKeepPasswordFile | WithAtOrDays,
        .complete =
            [](CommandLine& cmd, const Requests&) {
                if (cmd.undoNumber <= 0 || cmd.undoNumber > static_cast<int>(kUndoRecordsKept))
                    refuse(cmd, MessageId::UndoNumberOutOfRange,
                           {std::to_string(kUndoRecordsKept)});
            },
        .run = RunUndoRestore,
        .help = "  --undo-restore [N] put back what the last restore (or the Nth last, up to 5)\n"
                "                    replaced, all or nothing; refused while Wine runs\n",
    },
    CommandOption{
        .name = "--password-file",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.passwordFile = v; },
        .help =
            "  --password-file F read the password of a protected backup file from F\n"
            "                    (without it, the password is asked at the terminal);\n"
            "                    with sf=... ps=... bf=..., the backup's password (ps= empty)\n",
    },
    CommandOption{
        .name = "--schedule",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.scheduleCommand = v; },
        .verb = Mode::Schedule,
        .companions = WithKeep | WithWindowsUser | WithAtOrDays,
        .readsPrefix = true,
        .complete =
            [](CommandLine& cmd, const Requests&) {
                if (cmd.startTime.empty())
                    refuse(cmd, MessageId::ScheduleNeedsAt);
            },
        .run = RunScheduleCommand,
        .help =
            "  --schedule \"sf=PROFILExm=ITEMSps=PASSWORDbf=ARCHIVE\" --at HH:MM [--days LIST]\n"
            "                    schedule that backup as a systemd user timer (a run missed\n"
            "                    while the computer was off runs at its next start), or in\n"
            "                    your crontab where no user manager runs, on the days of LIST\n"
            "                    (M,T,W,TH,F,S,SU), or once at the next HH:MM without --days;\n"
            "                    with --keep-last and the others below, it keeps versions\n",
    },
    CommandOption{
        .name = "--list-jobs",
        .verb = Mode::ListJobs,
        .run = RunListJobs,
        .help = "  --list-jobs       list the scheduled backups, their next and last runs\n",
    },
    CommandOption{
        .name = "--move-jobs",
        .verb = Mode::MoveJobs,
        .run = RunMoveJobs,
        .help = "  --move-jobs       turn the backups scheduled in your crontab into timers\n",
    },
    CommandOption{
        .name = "--remove-job",
        .takes = Takes::Value,
        .verb = Mode::RemoveJob,
        .companions = WithKeepPasswordFile,
        .complete =
            [](CommandLine& cmd, const Requests& asked) {
                cmd.jobNumber = ParseCronNumber(asked.verbs.front().value).value_or(0);
                if (cmd.jobNumber <= 0)
                    refuse(cmd, MessageId::RemoveJobNeedsNumber);
            },
        .run = RunRemoveJob,
        .help = "  --remove-job N    remove the scheduled backup N\n",
    },
    CommandOption{
        .name = "--write-iso",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.isoTarget = v; },
        .verb = Mode::WriteIso,
        .companions = WithVolume,
        .ownsRest = true,
        .complete =
            [](CommandLine& cmd, const Requests& asked) {
                if (asked.rest.empty())
                    refuse(cmd, MessageId::WriteIsoNeedsFiles);
            },
        .run =
            [](const CommandLine& cmd, std::ostream& out, std::ostream& err) {
                return RunWriteIso(cmd.isoTarget, cmd.volume, cmd.unattendedArgs, out, err);
            },
        .help = "  --write-iso OUT.iso [--volume NAME] PATH...\n"
                "                    write files and folders into a disc image file, read it\n"
                "                    back and compare every file with its source\n",
    },
    CommandOption{
        .name = "--help",
        .alias = "-h",
        .decidesAlone = true,
        .verb = Mode::Help,
        .run =
            [](const CommandLine&, std::ostream& out, std::ostream&) {
                out << HelpText();
                return 0;
            },
        .help = "  -h, --help        show this help\n",
    },
    CommandOption{
        .name = "--version",
        .decidesAlone = true,
        .verb = Mode::Version,
        .run =
            [](const CommandLine&, std::ostream& out, std::ostream&) {
                out << VersionText();
                return 0;
            },
        .help = "  --version         show the version and the licence\n",
    },
    // No verb and arguments that are no option: the unattended backup line
    // (or a lone backup file, which the window opens).
    CommandOption{
        .verb = Mode::Unattended,
        .companions = WithKeep | WithWindowsUser | WithRepository,
        .readsPrefix = true,
        .complete = completeUnattended,
        .run = RunUnattendedBackup,
        .help = "\n"
                "  sf=... xm=... ps=... bf=...   back up without a window (as scheduled jobs do)\n",
    },
    CommandOption{
        .name = "--keep-last",
        .takes = Takes::Value,
        .store = storeKeep,
        .help = "  --keep-last N --keep-daily D --keep-weekly W --keep-monthly M\n"
                "                    with sf=...: keep versions NAME-YYYY-MM-DD-HHMMSS.kvx beside\n"
                "                    the backup file instead of replacing it: the last N, the\n"
                "                    newest of each of D days, W weeks and M months (options not\n"
                "                    given: 3, 7, 4, 6); older ones are removed once the new one\n"
                "                    was verified. Each run is logged in\n"
                "                    $XDG_STATE_HOME/trelmig/runs.log\n",
    },
    CommandOption{
        .name = "--repository",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.repository = v; },
        .help =
            "  --repository URL  with sf=... ps=PASSPHRASE bf= (bf= empty): the backup becomes\n"
            "                    a version in the BorgBackup repository URL (a folder, or\n"
            "                    ssh://user@host[:port]/path with borg installed there),\n"
            "                    which stores only what changed; with --keep-last and the\n"
            "                    others the source's older versions are pruned and the\n"
            "                    repository compacted.\n"
            "                    The passphrase: ps=, --password-file, or the terminal\n",
    },
    CommandOption{
        .name = "--list-versions",
        .verb = Mode::ListVersions,
        .companions = WithRepository,
        .complete =
            [](CommandLine& cmd, const Requests&) {
                if (!cmd.repository)
                    refuse(cmd, MessageId::VerbNeedsRepository, {"--list-versions"});
            },
        .run = RunListVersions,
        .help = "  --list-versions --repository URL\n"
                "                    list the versions of a repository: name, time, profile,\n"
                "                    items and the size each added\n",
    },
    CommandOption{
        .name = "--make-repository",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.repository = v; },
        .verb = Mode::MakeRepository,
        .companions = WithRepository,
        .run = RunMakeRepository,
        .help = "  --make-repository URL\n"
                "                    make a BorgBackup repository (encrypted with the passphrase\n"
                "                    given; none makes one without encryption); a backup never\n"
                "                    makes one itself\n",
    },
    CommandOption{
        .name = "--export-kvx",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.kvxFile = v; },
        .verb = Mode::ExportKvx,
        .companions = WithRepository | WithVersionName,
        .complete =
            [](CommandLine& cmd, const Requests&) {
                if (!cmd.repository || cmd.versionName.empty())
                    refuse(cmd, MessageId::VerbNeedsRepository,
                           {"--export-kvx OUT.kvx --version-name NAME|latest"});
            },
        .run = RunExportKvx,
        .help = "  --export-kvx OUT.kvx --repository URL --version-name NAME|latest\n"
                "                    write a version as a backup file (protected by the\n"
                "                    repository's passphrase)\n",
    },
    CommandOption{
        .name = "--import-kvx",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.kvxFile = v; },
        .verb = Mode::ImportKvx,
        .companions = WithRepository,
        .complete =
            [](CommandLine& cmd, const Requests&) {
                if (!cmd.repository)
                    refuse(cmd, MessageId::VerbNeedsRepository, {"--import-kvx FILE.kvx"});
            },
        .run = RunImportKvx,
        .help = "  --import-kvx FILE.kvx --repository URL\n"
                "                    add a backup file as a version, dated as it was made\n",
    },
    CommandOption{
        .name = "--version-name",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.versionName = v; },
    },
    CommandOption{
        .name = "--read-data",
        .store = [](std::string_view, const std::string&, CommandLine& cmd,
                    Requests&) { cmd.readData = true; },
    },
    CommandOption{.name = "--keep-daily", .takes = Takes::Value, .store = storeKeep},
    CommandOption{.name = "--keep-weekly", .takes = Takes::Value, .store = storeKeep},
    CommandOption{.name = "--keep-monthly", .takes = Takes::Value, .store = storeKeep},
    // Documented in the lines of the verbs they go with.
    CommandOption{
        .name = "--profile",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.profile = v; },
    },
    CommandOption{
        .name = "--items",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.items = v; },
    },
    CommandOption{
        .name = "--at",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.startTime = v; },
    },
    CommandOption{
        .name = "--days",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.days = v; },
    },
    CommandOption{
        .name = "--volume",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.volume = v; },
    },
    CommandOption{
        .name = "--keep-password-file",
        .store = [](std::string_view, const std::string&, CommandLine& cmd,
                    Requests&) { cmd.keepPasswordFile = true; },
    },
    // Started by a failed unattended run, not by users.
    CommandOption{
        .name = "--await-notification",
        .takes = Takes::Value,
        .store = [](std::string_view, const std::string& v, CommandLine& cmd,
                    Requests&) { cmd.notificationId = ParseCronNumber(v).value_or(0); },
        .verb = Mode::AwaitNotification,
        .run = RunAwaitNotification,
    },
    // No verb and no other argument: the window, which main starts itself.
    CommandOption{
        .verb = Mode::Gui,
        .companions = WithWindowsUser,
        .readsPrefix = true,
    },
};

} // namespace

std::span<const CommandOption> CommandOptions() {
    return kOptions;
}

const CommandOption* VerbOf(CommandLine::Mode mode) {
    const auto row =
        std::ranges::find_if(kOptions, [&](const CommandOption& o) { return o.verb == mode; });
    return row == kOptions.end() ? nullptr : &*row;
}

const CommandOption& UnattendedVerb() {
    return *VerbOf(Mode::Unattended);
}

const CommandOption& WindowVerb() {
    return *VerbOf(Mode::Gui);
}

int RunVerb(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    const CommandOption* verb = VerbOf(cmd.mode);
    return verb && verb->run ? verb->run(cmd, out, err) : 2;
}

} // namespace trelmig
