#pragma once

#include "core/KeepPolicy.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

struct CommandLine {
    enum class Mode {
        Gui,
        Help,
        Version,
        ListProfiles,
        ListPrefixes,
        Inspect,
        Verify,
        Restore,
        Unattended,
        Schedule,
        ListJobs,
        RemoveJob,
        WriteIso,
        UndoRestore,
        MoveJobs,
        AwaitNotification,
        ListVersions,
        MakeRepository,
        ExportKvx,
        ImportKvx,
        Invalid
    };
    Mode mode = Mode::Gui;
    std::optional<std::filesystem::path> prefix;
    // --windows-user DIR [--windows-root DIR]: a Windows user folder read
    // instead of a prefix (listing, unattended backup, the window).
    std::optional<std::filesystem::path> windowsUser;
    std::optional<std::filesystem::path> windowsRoot;
    // The window opens with this backup file on its restore tab (trelmig FILE.kvx).
    std::optional<std::filesystem::path> openFile;
    // The unattended run's arguments, and their text joined by blanks.
    std::vector<std::string> unattendedArgs;
    std::string unattendedLine;
    std::string error;
    // --inspect FILE / --verify FILE / --restore FILE --profile NAME --items MASK [--password-file
    // F]
    std::string archive;
    std::string profile;
    std::string items;
    std::optional<std::filesystem::path> passwordFile;
    // --restore ... --create: the profile is made new.
    bool createProfile = false;
    // --undo-restore [N]: the Nth latest restore (1, the last) is undone.
    int undoNumber = 0;
    // --schedule "sf=...bf=..." --at HH:MM [--days M,T,...] / --remove-job N
    std::string scheduleCommand;
    std::string startTime;
    std::optional<std::string> days;
    int jobNumber = 0;
    // --await-notification ID (started by a failed unattended run): the main
    // window opens when the user chooses the notification's action.
    unsigned notificationId = 0;
    // --remove-job N --keep-password-file: a job that runs once removing its
    // own line, its password file left to the backup that follows.
    bool keepPasswordFile = false;
    // --keep-last N --keep-daily D --keep-weekly W --keep-monthly M beside an
    // unattended line: versions are kept beside the backup file, the options
    // not given at their defaults.
    std::optional<KeepPolicy> keep;
    // --write-iso OUT.iso [--volume NAME] PATH...: the paths are in unattendedArgs.
    std::string isoTarget;
    std::string volume;
    // --repository URL: a BorgBackup repository instead of a backup file (the
    // unattended line, --restore, --verify, --list-versions, --export-kvx,
    // --import-kvx); --make-repository URL makes one.
    std::optional<std::string> repository;
    // --version-name NAME|latest: the version --restore and --export-kvx take.
    std::string versionName;
    // --verify --repository URL --read-data: every chunk read back too.
    bool readData = false;
    // --export-kvx OUT.kvx / --import-kvx FILE.kvx
    std::string kvxFile;
};

// "--" options are ours; anything else is the unattended run's command line.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// Overwrites the password of an unattended or --schedule command line with
// "*" in the process's own argument memory, which every local user can read
// (ps, /proc/PID/cmdline). Call after ParseCommandLine, which copied it.
void HidePasswordArguments(const CommandLine& cmd, int argc, char** argv);

std::string HelpText();

// The version, the copyright and the licence.
std::string VersionText();

} // namespace trelmig
