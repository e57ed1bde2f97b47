#include "core/Message.h"

#include <array>
#include <utility>

#include "core/TranslationMark.h"

namespace trelmig {

namespace {

using enum MessageId;

constexpr std::pair<MessageId, const char*> kTemplates[] = {
    {CommandLineNeedsFourValues,
     QT_TRANSLATE_NOOP("Messages", "the command line needs sf=, xm=, ps= and bf=")},
    {CommandLineValueHoldsEquals,
     QT_TRANSLATE_NOOP("Messages", "a value of the command line contains \"=\"")},
    {CommandLineNotInForm,
     QT_TRANSLATE_NOOP("Messages", "the command line is not sf=...xm=...ps=...bf=...")},
    {CommandLineValueEmpty,
     QT_TRANSLATE_NOOP("Messages", "the profile (sf=), the items (xm=) and the backup file "
                                   "(bf=) must not be empty")},
    {CommandLineItemsNotAMask,
     QT_TRANSLATE_NOOP("Messages", "the items (xm=) must be eight characters 0 or 1")},
    {CommandLineNoItem, QT_TRANSLATE_NOOP("Messages", "no item is chosen (xm=00000000): Please "
                                                      "select at least one item.")},
    {CommandLinePasswordBreak,
     QT_TRANSLATE_NOOP("Messages", "the password (ps=) contains a line break or a NUL character")},
    {PasswordGivenTwice,
     QT_TRANSLATE_NOOP("Messages", "the password is given twice (ps= and --password-file)")},
    {PasswordFileHoldsNul,
     QT_TRANSLATE_NOOP("Messages", "the password file holds a NUL character")},
    {ProgramLine, QT_TRANSLATE_NOOP("Messages", "trelmig: %1")},
    {WarningLine, QT_TRANSLATE_NOOP("Messages", "warning: %1")},
    {NoProfileInPrefix,
     QT_TRANSLATE_NOOP("Messages",
                       "no Outlook profile in the Wine prefix %1; nothing was backed up")},
    {NoProfileInUserFolder,
     QT_TRANSLATE_NOOP("Messages",
                       "no Outlook profile in the Windows user folder %1; nothing was backed up")},
    {NoSuchProfile,
     QT_TRANSLATE_NOOP("Messages", "there is no Outlook profile \"%1\"; nothing was backed up")},
    {WineOpenDuringRun,
     QT_TRANSLATE_NOOP("Messages", "Outlook or another Windows program is open in the Wine "
                                   "prefix %1; its data files are copied as they are at one "
                                   "moment")},
    {RunWriteFailed, QT_TRANSLATE_NOOP("Messages", "backup of profile \"%1\" to %2 failed: %3")},
    {PartialNotRenamed, QT_TRANSLATE_NOOP("Messages", "cannot rename the partial backup %1: %2")},
    {RunWritten, QT_TRANSLATE_NOOP("Messages", "backup of profile \"%1\" written to %2 (%3)")},
    {RunNothingToBackUpFor, QT_TRANSLATE_NOOP("Messages", "; nothing to back up for %1")},
    {RunItemsFailed, QT_TRANSLATE_NOOP("Messages", ", but these items failed: %1")},
    {RunEarlierKept,
     QT_TRANSLATE_NOOP("Messages", "; the earlier backup file %1 was kept, the new one missing "
                                   "these items is %2")},
    {OldVersionNotRemoved,
     QT_TRANSLATE_NOOP("Messages", "an old version could not be removed: %1")},
    {RunRefused,
     QT_TRANSLATE_NOOP("Messages", "unattended backup refused, nothing was touched: %1")},
    {RunFailed, QT_TRANSLATE_NOOP("Messages", "unattended backup failed: %1")},
    {ChooseBackupFileName, QT_TRANSLATE_NOOP("Messages", "Please choose a backup file name.")},
    {SelectAnItem, QT_TRANSLATE_NOOP("Messages", "Please select at least one item.")},
    {EnterPassword, QT_TRANSLATE_NOOP("Messages", "Please enter Password!")},
    {PasswordsDiffer, QT_TRANSLATE_NOOP("Messages", "Incorrect Password!")},
    {BackupCompressing, QT_TRANSLATE_NOOP("Messages", "Compressing the backup file...")},
    {BackupVerifying, QT_TRANSLATE_NOOP("Messages", "Verifying the backup file...")},
    {BackupCancelled,
     QT_TRANSLATE_NOOP("Messages", "The Backup was cancelled. No backup file was written; a file "
                                   "already at %1 was left as it was.")},
    {BackupNotWritten,
     QT_TRANSLATE_NOOP("Messages", "The Backup was not Completed! The backup file could not be "
                                   "written; nothing at %1 was changed:\r\n%2\r\n%3")},
    {BackupEarlierKept,
     QT_TRANSLATE_NOOP("Messages", "The Backup was not Completed! Some items could not be "
                                   "gathered, so the earlier backup file %1 was kept; the new "
                                   "backup file without them is %2\r\n%3")},
    {BackupCompleted, QT_TRANSLATE_NOOP("Messages", "The Backup was Completed!\t\t\t\r\n%1")},
    {ChooseFileToRestore,
     QT_TRANSLATE_NOOP("Messages", "Please choose the backup file to restore from.")},
    {InvalidBackupFile, QT_TRANSLATE_NOOP("Messages", "Invalid backup file.")},
    {RestoreIntoReadOnlySource,
     QT_TRANSLATE_NOOP("Messages", "The Windows user folder %1 is only read. Open the Wine prefix "
                                   "to restore into (File > \"Open Wine Prefix...\").\r\n\r\n"
                                   "Nothing was restored.")},
    {RunResultSucceeded, QT_TRANSLATE_NOOP("Messages", "Succeeded")},
    {RunResultRefused, QT_TRANSLATE_NOOP("Messages", "Refused")},
    {RunResultPartlyFailed, QT_TRANSLATE_NOOP("Messages", "Partly failed")},
    {RunResultFailed, QT_TRANSLATE_NOOP("Messages", "Failed")},
    {LastBackupNone, QT_TRANSLATE_NOOP("Messages", "Last backup: none yet")},
    {LastBackupAt, QT_TRANSLATE_NOOP("Messages", "Last backup: %1, ")},
    {LastBackupStale, QT_TRANSLATE_NOOP("Messages", "; no backup succeeded for %1 days")},
    {BackupFileExists,
     QT_TRANSLATE_NOOP("Messages",
                       "The backup file %1 of %2 already exists. Do you want to overwrite it?")},
    {BackupWhileWineRuns,
     QT_TRANSLATE_NOOP("Messages", "Outlook or another Windows program is open in the Wine "
                                   "prefix %1. It may change the data files while they are "
                                   "copied.\r\n\r\nClose it and choose Retry, choose Continue to "
                                   "back up the data files as they are at one moment, or Cancel.")},
    {InvalidBackupFileBecause, QT_TRANSLATE_NOOP("Messages", "Invalid backup file\r\n\r\n%1")},
    {PasswordOrFileRefused,
     QT_TRANSLATE_NOOP("Messages", "Incorrect Password or Invalid backup file\r\n\r\nThe password "
                                   "is wrong, or the backup file is damaged.")},
    {InvalidBackupFileBare, QT_TRANSLATE_NOOP("Messages", "Invalid backup file")},
    {InformationFileListBad,
     QT_TRANSLATE_NOOP("Messages",
                       "Invalid backup file\r\n\r\nThe information file names, under %1, %2.")},
    {RestoreWhileWineRuns,
     QT_TRANSLATE_NOOP("Messages", "Outlook or Wine is running. Please close Outlook and Wine "
                                   "first (for example with \"wineserver -k\"), then restore "
                                   "again.\r\n\r\nNothing was restored.")},
    {RestoreNotCompleted,
     QT_TRANSLATE_NOOP("Messages", "The Restore was not Completed!\t\t\t\r\n%1%2")},
    {RestoreCompleted, QT_TRANSLATE_NOOP("Messages", "The Restore was Completed!\t\t\t\r\n%1%2")},
    {NoTaskScheduled, QT_TRANSLATE_NOOP("Messages", "No task is scheduled.")},
    {NoSuchTask, QT_TRANSLATE_NOOP("Messages", "there is no task %1")},
    {NoCrontabTaskMoved, QT_TRANSLATE_NOOP("Messages", "No task of the crontab was moved.")},
    {TaskNowTimer, QT_TRANSLATE_NOOP("Messages", "Task %1 is now a systemd timer.")},
    {NoRestoreToUndo, QT_TRANSLATE_NOOP("Messages", "there is no restore to undo (%1 kept)")},
    {NoRestoreToUndoThatFarBack,
     QT_TRANSLATE_NOOP("Messages", "there is no restore to undo %1 restores back (%2 kept)")},
    {NoPrefixOrPartitionFound,
     QT_TRANSLATE_NOOP("Messages", "no Wine prefix found (looked at $WINEPREFIX, ~/.wine and the "
                                   "bottles of CrossOver, Bottles, PlayOnLinux, Lutris and "
                                   "winetricks) and no Windows partition (looked at /media/$USER, "
                                   "/run/media/$USER and /mnt)")},
    {NoProfileCreateMakesIt,
     QT_TRANSLATE_NOOP("Messages", "there is no Outlook profile \"%1\" (--create makes it)")},
    {ProfileExistsAlready,
     QT_TRANSLATE_NOOP("Messages", "there is an Outlook profile \"%1\" already")},
    {BackupFileLacksItem, QT_TRANSLATE_NOOP("Messages", "the backup file does not hold %1")},
    {ScheduleCommandRefused, QT_TRANSLATE_NOOP("Messages", "--schedule: %1")},
    {DaysNotADayList, QT_TRANSLATE_NOOP("Messages", "--days takes day codes joined by \",\": "
                                                    "M,T,W,TH,F,S,SU")},
    {NoProfileForJobInPrefix,
     QT_TRANSLATE_NOOP("Messages", "there is no Outlook profile \"%1\" in the Wine prefix %2")},
    {NoProfileForJobInUserFolder,
     QT_TRANSLATE_NOOP("Messages",
                       "there is no Outlook profile \"%1\" in the Windows user folder %2")},
    {WindowNotOpened, QT_TRANSLATE_NOOP("Messages", "the window could not be opened")},
    {OutlookNotInstalled,
     QT_TRANSLATE_NOOP("Messages",
                       "Your Windows System have not install MS Outlook or MS Outlook Error!")},
    {ArchiveSound, QT_TRANSLATE_NOOP("Messages", "%1: sound")},
    {ArchiveDamaged, QT_TRANSLATE_NOOP("Messages", "%1: damaged: %2: %3")},
    {ArchiveRefused, QT_TRANSLATE_NOOP("Messages", "%1: refused: %2")},
    {NoPrefixFolder, QT_TRANSLATE_NOOP("Messages", "There is no Wine prefix at %1: the folder "
                                                   "does not exist.")},
    {NoDisplay, QT_TRANSLATE_NOOP("Messages", "there is no display for the main window; see "
                                              "trelmig --help for what runs without one")},
    {OperationComplete, QT_TRANSLATE_NOOP("Messages", "Operation complete!")},
    // A reason the system gives, in its own words.
    {ReasonOnly, QT_TRANSLATE_NOOP("Messages", "%1")},
    {UndoRecordUnreadable, QT_TRANSLATE_NOOP("Messages", "The undo record cannot be read: %1")},
    {UndoWhileWineRuns,
     QT_TRANSLATE_NOOP("Messages", "Outlook or Wine is running. Please close Outlook and Wine "
                                   "first (for example with \"wineserver -k\"), then undo again.")},
    {UndoFailed, QT_TRANSLATE_NOOP("Messages", "The restore cannot be undone: %1")},
    {UndoNothingChanged, QT_TRANSLATE_NOOP("Messages", "\r\n\r\nNothing was changed.")},
    {UndoFilesNotRenamedBack,
     QT_TRANSLATE_NOOP("Messages", "\r\n\r\nThese files could not be renamed back; the restored "
                                   "version is beside each:%1")},
    {Undone, QT_TRANSLATE_NOOP("Messages", "Undone: the restore into profile \"%1\" of %2 on %3. "
                                           "%4 registry key(s) and %5 file(s) are as they were "
                                           "before it.")},
    {OptionNeedsValue, QT_TRANSLATE_NOOP("Messages", "%1 needs a value")},
    {UnknownOption, QT_TRANSLATE_NOOP("Messages", "unknown option %1 (see --help)")},
    {VolumeGoesWithWriteIso, QT_TRANSLATE_NOOP("Messages", "--volume goes with --write-iso")},
    {ChooseOneAction,
     QT_TRANSLATE_NOOP("Messages",
                       "choose one of --list-profiles, --list-prefixes, --inspect, --verify, "
                       "--restore, --undo-restore, --schedule, --list-jobs, --move-jobs, "
                       "--remove-job or a backup command line")},
    {KeepNotANumber, QT_TRANSLATE_NOOP("Messages", "%1 takes a number of versions, not \"%2\"")},
    {KeepGoesWithBackup,
     QT_TRANSLATE_NOOP("Messages", "--keep-last, --keep-daily, --keep-weekly and --keep-monthly go "
                                   "with an unattended backup line or --schedule")},
    {CreateGoesWithRestore, QT_TRANSLATE_NOOP("Messages", "--create goes with --restore")},
    {WindowsRootGoesWithUser,
     QT_TRANSLATE_NOOP("Messages", "--windows-root goes with --windows-user")},
    {PrefixOrWindowsUser, QT_TRANSLATE_NOOP("Messages", "choose --prefix or --windows-user")},
    {WindowsUserGoesWith,
     QT_TRANSLATE_NOOP("Messages", "--windows-user goes with --list-profiles, --schedule, a backup "
                                   "command line or the window")},
    {KeepPasswordFileGoesWithRemove,
     QT_TRANSLATE_NOOP("Messages", "--keep-password-file goes with --remove-job")},
    {AtAndDaysGoWithSchedule, QT_TRANSLATE_NOOP("Messages", "--at and --days go with --schedule")},
    {ScheduleNeedsAt, QT_TRANSLATE_NOOP("Messages", "--schedule needs --at HH:MM")},
    {WriteIsoNeedsFiles,
     QT_TRANSLATE_NOOP("Messages", "--write-iso needs at least one file or folder to put into the "
                                   "image")},
    {UndoNumberOutOfRange,
     QT_TRANSLATE_NOOP("Messages", "--undo-restore takes the number of a restore from 1 (the last) "
                                   "to %1")},
    {RemoveJobNeedsNumber, QT_TRANSLATE_NOOP("Messages", "--remove-job needs a task number")},
    {RestoreNeedsProfileAndItems,
     QT_TRANSLATE_NOOP("Messages", "--restore needs --profile NAME and --items with eight 0/1 "
                                   "characters")},
    {ImageWritingPercent, QT_TRANSLATE_NOOP("Messages", "Writing... %1%")},
    {ImageWouldReplace, QT_TRANSLATE_NOOP("Messages", "%1 would replace %2 as %3")},
    {ImageNeedsFileAndSources,
     QT_TRANSLATE_NOOP("Messages",
                       "--write-iso needs the image file and at least one file or folder")},
    {ImageFileIsFolder, QT_TRANSLATE_NOOP("Messages", "%1 is a folder")},
    {ImageFileIsSource, QT_TRANSLATE_NOOP("Messages", "the image file %1 is one of the sources")},
    {ImageFileInsideSource,
     QT_TRANSLATE_NOOP("Messages", "the image file %1 lies inside the source folder %2")},
    {RecordingLibraryNotStarted,
     QT_TRANSLATE_NOOP("Messages", "the recording library could not be started")},
    {ImageCannotTake, QT_TRANSLATE_NOOP("Messages", "cannot put %1 into the image")},
    {ImageFolderNotWritable, QT_TRANSLATE_NOOP("Messages", "cannot write into the folder of %1")},
    {ImageWriting, QT_TRANSLATE_NOOP("Messages", "Writing %1: %2 files, %3 folders, %4")},
    {WritingFilePercent, QT_TRANSLATE_NOOP("Messages", "Writing the file: %1%")},
    {BackupVerifyPercent, QT_TRANSLATE_NOOP("Messages", "Verify File %1%")},
    {BackupCompletedAs,
     QT_TRANSLATE_NOOP("Messages", "The Backup was Completed!\t\t\t\r\nWritten to %1\r\n%2")},
    {RestoreReplacesChosenItems,
     QT_TRANSLATE_NOOP("Messages", "The chosen items of the profile will be replaced with those "
                                   "from the selected backup file.")},
    {JobHeading, QT_TRANSLATE_NOOP("Messages", "Task %1 (%2): %3, %4")},
    {JobProfile, QT_TRANSLATE_NOOP("Messages", "profile")},
    {JobItems, QT_TRANSLATE_NOOP("Messages", "items")},
    {JobFile, QT_TRANSLATE_NOOP("Messages", "file")},
    {JobProblem, QT_TRANSLATE_NOOP("Messages", "problem")},
    {JobPrefix, QT_TRANSLATE_NOOP("Messages", "prefix")},
    {JobSource, QT_TRANSLATE_NOOP("Messages", "source")},
    {JobVersions, QT_TRANSLATE_NOOP("Messages", "versions")},
    {JobNextRun, QT_TRANSLATE_NOOP("Messages", "next run")},
    {JobLastRun, QT_TRANSLATE_NOOP("Messages", "last run")},
    {JobSourceWindowsUser, QT_TRANSLATE_NOOP("Messages", "Windows user folder %1")},
    {JobVersionsKept, QT_TRANSLATE_NOOP("Messages", "kept (%1)")},
    {JobVersionsNone, QT_TRANSLATE_NOOP("Messages", "none, the file is replaced")},
    {JobNextRunUnknown, QT_TRANSLATE_NOOP("Messages", "unknown")},
    {JobLastRunNone, QT_TRANSLATE_NOOP("Messages", "none yet")},
    {BackupPartial,
     QT_TRANSLATE_NOOP("Messages", "The Backup was not Completed! Some items could not be "
                                   "gathered; the backup file %1 holds the others.\r\n%2")},
    // Scheduling a job.
    {InvalidBackupFileName, QT_TRANSLATE_NOOP("Messages", "Invalid backup file name.")},
    {JobProfileNameUncarriable,
     QT_TRANSLATE_NOOP(
         "Messages",
         "The profile name of a scheduled backup cannot contain \"=\" or a line break.")},
    {JobPasswordUncarriable,
     QT_TRANSLATE_NOOP("Messages",
                       "The password of a scheduled backup cannot contain \"=\" or a line break.")},
    {JobFileNameUncarriable,
     QT_TRANSLATE_NOOP(
         "Messages",
         "The backup file name of a scheduled backup cannot contain \"=\" or a line break.")},
    {StartTimeNotATime,
     QT_TRANSLATE_NOOP("Messages", "\"%1\" is not a time of day. Enter the start time as hours and "
                                   "minutes, for example 9:00 or 23:30.")},
    {JobNeedsItsPassword,
     QT_TRANSLATE_NOOP("Messages", "the job cannot be written without its password")},
    {TaskNotRunning,
     QT_TRANSLATE_NOOP(
         "Messages",
         "Task %1 was added to your crontab, but it will not run: no cron daemon runs on this "
         "machine and no systemd user manager answers. Start the cron service (as root: systemctl "
         "enable --now cron), or schedule the task again from a desktop session, whose systemd "
         "user manager also runs a backup missed while the computer was off.")},
    {TaskScheduled, QT_TRANSLATE_NOOP("Messages", "Task %1 has been scheduled.")},
    {TaskNotScheduled, QT_TRANSLATE_NOOP("Messages", "The task could not be scheduled: %1")},
    {JobDaysOnce, QT_TRANSLATE_NOOP("Messages", "once")},
    {JobDaysEveryDay, QT_TRANSLATE_NOOP("Messages", "every day")},
    {JobDaysOfMonth, QT_TRANSLATE_NOOP("Messages", "days %1 of the month")},
    {JobDaysOnceNext, QT_TRANSLATE_NOOP("Messages", "once, next %1")},
    {JobLineChangedByHand,
     QT_TRANSLATE_NOOP("Messages", "the crontab line was changed by hand and cannot be read")},
    {JobRefusedBecause, QT_TRANSLATE_NOOP("Messages", "the backup will refuse this job: %1")},
    {JobWhereTimer, QT_TRANSLATE_NOOP("Messages", "systemd timer")},
    {NoUserManagerJobsStay,
     QT_TRANSLATE_NOOP("Messages",
                       "no systemd user manager answers: the jobs stay in the crontab")},
    // The restore driver.
    {UndoNotKeptNothingRestored,
     QT_TRANSLATE_NOOP("Messages", "What the restore would replace cannot be kept for an undo: "
                                   "%1\r\n\r\nNothing was restored.")},
    {ProfileNotMadeNothingRestored,
     QT_TRANSLATE_NOOP("Messages", "The profile cannot be made: %1\r\n\r\nNothing was restored.")},
    {NotRestoredEarlierPartFailed,
     QT_TRANSLATE_NOOP("Messages", "not restored, as an earlier part of it failed")},
    {RestoreCancelled,
     QT_TRANSLATE_NOOP("Messages", "The Restore was cancelled. The item at work when it stopped, "
                                   "and those after it, were left as they were.%1")},
    {RestoreCancelledAfter,
     QT_TRANSLATE_NOOP("Messages",
                       "The Restore was cancelled. The item at work when it stopped, and those "
                       "after it, were left as they were; these had been restored before:%1%2")},
    {RestoreCannotBeUndone,
     QT_TRANSLATE_NOOP("Messages", "\r\n\r\nThis restore cannot be undone: %1")},
    // The registry.
    {RegistryPathIncorrect, QT_TRANSLATE_NOOP("Messages", "Incorrect Format:\n\n%1")},
    {RegistryKeyMissing, QT_TRANSLATE_NOOP("Messages", "the registry key %1 does not exist")},
    {RegistryValueNotWritten,
     QT_TRANSLATE_NOOP("Messages", "the value \"%1\" of %2 cannot be written")},
    {RegistryPathMalformed, QT_TRANSLATE_NOOP("Messages", "the registry path %1 is malformed")},
    {RegistryKeyNotMade, QT_TRANSLATE_NOOP("Messages", "the registry key %1 cannot be made")},
    {RegistryValueNotDeleted,
     QT_TRANSLATE_NOOP("Messages", "the value \"%1\" of %2 cannot be deleted")},
    {RegistryRootNotDeleted, QT_TRANSLATE_NOOP("Messages", "the root key %1 cannot be deleted")},
    {RegistryKeyNotDeleted, QT_TRANSLATE_NOOP("Messages", "the registry key %1 cannot be deleted")},
    // A backup file named on the command line.
    {PasswordFileUnreadable, QT_TRANSLATE_NOOP("Messages", "cannot read the password file %1")},
    {NoTerminalForPassword,
     QT_TRANSLATE_NOOP("Messages",
                       "The backup file is protected and there is no terminal to type its password "
                       "on: name a file that holds it with --password-file.")},
    {AskBackupFilePassword, QT_TRANSLATE_NOOP("Messages", "Password of the backup file: ")},
    {NoBackupFileAt, QT_TRANSLATE_NOOP("Messages", "There is no backup file %1.")},
    {BackupFileNotReadable, QT_TRANSLATE_NOOP("Messages", "Cannot read the backup file %1: %2.")},
    {BackupFileIsFolder, QT_TRANSLATE_NOOP("Messages", "%1 is a folder, not a backup file.")},
    {NoPasswordFileAt, QT_TRANSLATE_NOOP("Messages", "There is no password file %1.")},
    {PasswordFileNotReadable,
     QT_TRANSLATE_NOOP("Messages", "Cannot read the password file %1: %2.")},
    {PasswordFileIsFolder, QT_TRANSLATE_NOOP("Messages", "%1 is a folder, not a password file.")},
    {MailStoreUnreadable,
     QT_TRANSLATE_NOOP("Messages", "%1 cannot be read as an Outlook data file: %2")},
    {MailStoreDamaged, QT_TRANSLATE_NOOP("Messages", "%1 is damaged: %2")},
    {MailStoreOwnPassword,
     QT_TRANSLATE_NOOP("Messages", "%1 is protected by its own password. Its folders and messages "
                                   "are shown without it; Outlook still asks for it.")},
    {MailStoreNoSuchMessage, QT_TRANSLATE_NOOP("Messages", "%1 has no such message.")},
    {MailExportFailed, QT_TRANSLATE_NOOP("Messages", "%1 could not be written: %2")},
    {BrowseNoDataFiles, QT_TRANSLATE_NOOP("Messages", "%1 holds no data file.")},
    {BrowseNoSuchDataFile, QT_TRANSLATE_NOOP("Messages", "%1 holds no data file named %2.")},
    {BrowseNoSuchFolder, QT_TRANSLATE_NOOP("Messages", "%1 has no folder %2.")},
    {BrowseWritten, QT_TRANSLATE_NOOP("Messages", "%1 written.")},
    {BrowseOptionsGoWithBrowse,
     QT_TRANSLATE_NOOP("Messages",
                       "--data-file, --folder, --search, --export and --as go with --browse")},
    {BrowseNeedsDataFile,
     QT_TRANSLATE_NOOP("Messages", "--folder, --search and --export go with --data-file NAME")},
    {BrowseExportNeedsMessages,
     QT_TRANSLATE_NOOP("Messages", "--export needs --folder or --search")},
    {BrowseExportAs, QT_TRANSLATE_NOOP("Messages", "--as takes eml or mbox")},
    {BrowseNoExportFolder, QT_TRANSLATE_NOOP("Messages", "%1 is no folder to export into.")},
    // Versions in a BorgBackup repository.
    {RepositoryGoesWith,
     QT_TRANSLATE_NOOP("Messages", "--repository goes with sf=... bf=, --list-versions, --restore, "
                                   "--verify, --browse, --export-kvx and --import-kvx")},
    {VersionNameGoesWith,
     QT_TRANSLATE_NOOP("Messages",
                       "--version-name goes with --restore, --browse and --export-kvx, beside "
                       "--repository")},
    {ReadDataGoesWithVerify,
     QT_TRANSLATE_NOOP("Messages", "--read-data goes with --verify --repository")},
    {RestoreVersionNeeds,
     QT_TRANSLATE_NOOP("Messages",
                       "--restore --repository URL needs --version-name NAME (or latest), "
                       "--profile NAME and --items MASK, and no backup file")},
    {VerbNeedsRepository, QT_TRANSLATE_NOOP("Messages", "%1 needs --repository URL")},
    {RepositoryLineHasFile,
     QT_TRANSLATE_NOOP(
         "Messages",
         "With --repository the backup becomes a version of the repository: leave bf= empty.")},
    {AskRepositoryPassphrase, QT_TRANSLATE_NOOP("Messages", "Passphrase of the repository: ")},
    {RepositoryHoldsNoVersion,
     QT_TRANSLATE_NOOP("Messages", "The repository %1 holds no version.")},
    {VersionLine, QT_TRANSLATE_NOOP("Messages", "%1  %2  profile %3  %4  added %5")},
    {VersionsPruned,
     QT_TRANSLATE_NOOP("Messages", "Versions of %1 removed by the keep policy: %2.")},
    {AppendOnlyNothingFreed,
     QT_TRANSLATE_NOOP("Messages", "The repository %1 is append-only: the versions the keep policy "
                                   "removes are only hidden and compacting freed nothing; its "
                                   "owner frees the space by compacting it without that mode.")},
    {RepositorySound, QT_TRANSLATE_NOOP("Messages", "The repository %1 is sound.")},
    {RepositoryMade,
     QT_TRANSLATE_NOOP("Messages", "The repository %1 was made. Keep its passphrase, and a copy of "
                                   "its key (borg key export), apart from it.")},
    {VersionExported, QT_TRANSLATE_NOOP("Messages", "The version %1 was written as %2.")},
    {VersionImported,
     QT_TRANSLATE_NOOP("Messages", "%1 was added to the repository as the version %2.")},
    {BrowseVersionNeeds,
     QT_TRANSLATE_NOOP("Messages", "--browse --repository URL needs --version-name NAME (or "
                                   "latest), and no backup file")},
    {JobRepository, QT_TRANSLATE_NOOP("Messages", "repository")},
};

// The item steps' templates are the records' own, not in the table.
constexpr std::size_t kFirstStep = static_cast<std::size_t>(ItemStep);

constexpr bool IsStep(std::size_t id) {
    return id >= kFirstStep && id < kFirstStep + kItemRecordCount;
}

constexpr std::size_t TablePosition(std::size_t id) {
    return id < kFirstStep ? id : id - kItemRecordCount;
}

constexpr bool EveryMessageInOrder() {
    for (std::size_t i = 0; i < std::size(kTemplates); ++i) {
        const auto id = static_cast<std::size_t>(kTemplates[i].first);
        if (IsStep(id) || TablePosition(id) != i)
            return false;
    }
    return TablePosition(static_cast<std::size_t>(kLastMessageId)) + 1 == std::size(kTemplates);
}
static_assert(EveryMessageInOrder(), "one template per message, in the order of MessageId");

} // namespace

std::string_view MessageTemplate(MessageId id) {
    const auto n = static_cast<std::size_t>(id);
    if (IsStep(n))
        return kItemRecords[n - kFirstStep].status;
    return kTemplates[TablePosition(n)].second;
}

MessageId StepMessage(const ItemRecord& record) {
    return static_cast<MessageId>(kFirstStep + RecordIndex(record));
}

std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& values) {
    std::string filled;
    filled.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t number = next >= '1' && next <= '9' ? std::size_t(next - '0') : 0;
        if (text[i] == '%' && number != 0 && number <= values.size()) {
            filled += values[number - 1];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

} // namespace trelmig
