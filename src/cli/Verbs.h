#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace trelmig {

struct CommandLine;

// The command-line verbs. Each prints to out what it reports and to err what
// went wrong, and returns the process exit code.

// --list-profiles: the profiles of the prefix with the availability of every item.
int RunListProfiles(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --list-prefixes: every Wine prefix found on this machine (and the one of
// --prefix), then the user folders of the Windows partitions mounted where
// desktops mount them, each with its Outlook version, profiles and their data
// files. 0, or 1 when none was found.
int RunListPrefixes(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// The same with the partitions looked for in mountPlaces.
int ListPrefixesAndPartitions(const CommandLine& cmd,
                              const std::vector<std::filesystem::path>& mountPlaces,
                              std::ostream& out, std::ostream& err);
// --inspect FILE: what the restore tab shows for a backup file. 0, or 2 for an
// unusable file.
int RunInspect(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --verify FILE: reads the backup file back, every entry decoded and checked
// and every file its information file names present, writing nothing. 0
// sound, 1 damaged (the entry and the reason on err), 2 refused (not a
// readable backup file, or a wrong password).
int RunVerify(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --restore FILE --profile NAME [--create] --items MASK: restores the items of the mask
// into the profile and prints the log: 0 when every item succeeded, 1 when one
// failed, 2 for bad arguments or an unusable backup file.
int RunRestoreCommand(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --undo-restore [N]: puts back what the Nth last restore replaced, all or
// nothing: 0 done, 1 it could not be (nothing was changed), 2 no such restore.
int RunUndoRestore(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// sf=... xm=... ps=... bf=...: the unattended backup, as scheduled jobs run it.
int RunUnattendedBackup(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --schedule "sf=...xm=...ps=...bf=..." --at HH:MM [--days M,T,...]:
// registers a job as the schedule window does: a systemd user timer, else a
// crontab line. 0 registered, 1 it failed or will not run, 2 refused.
int RunScheduleCommand(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --list-jobs: one line per job of this program. 0, or 1 when the crontab
// cannot be read.
int RunListJobs(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --remove-job N: silent on success, 1 when there is no such job or the
// crontab fails. Jobs that run once call it before their backup.
int RunRemoveJob(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --await-notification ID: waits up to an hour for the action of the failed
// run's notification and then becomes the main window. 0, or 1 without it.
int RunAwaitNotification(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --move-jobs: the crontab's tasks become systemd user timers (missed runs
// catch up). 0 done, 1 no user manager or a failure.
int RunMoveJobs(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --write-iso OUT.iso [--volume NAME] PATH...: puts the files and folders
// into an ISO 9660/Joliet/Rock Ridge image file, reads it back and compares
// every file with its source. Prints the verify summary. 0 when the image was
// written and every file matched; 1 when the write failed or a file did not
// match; 2 for unusable arguments.
int RunWriteIso(const std::string& target, const std::string& volume,
                const std::vector<std::string>& paths, std::ostream& out, std::ostream& err);

// --list-versions --repository URL: one line per version (name, time,
// profile, items, size added). 0, 1 when the repository cannot be read, 2
// refused arguments.
int RunListVersions(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --make-repository URL: borg init. 0 made, 1 not, 2 refused arguments.
int RunMakeRepository(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --verify --repository URL [--read-data]: borg check. 0 sound, 1 damaged
// or unreadable, 2 refused arguments.
int RunVerifyRepository(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --restore --repository URL --version-name NAME|latest --profile P --items
// MASK: restores a version as --restore restores a backup file.
int RunRestoreVersion(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --export-kvx OUT.kvx --repository URL --version-name NAME|latest: 0
// written, 1 not, 2 refused arguments.
int RunExportKvx(const CommandLine& cmd, std::ostream& out, std::ostream& err);
// --import-kvx FILE.kvx --repository URL: the backup file becomes a version.
int RunImportKvx(const CommandLine& cmd, std::ostream& out, std::ostream& err);

inline constexpr const char* kDefaultVolumeIdentifier = "Outlook Data Backup CD";

} // namespace trelmig
