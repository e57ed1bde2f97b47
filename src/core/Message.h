#pragma once

#include "core/ItemCatalogue.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trelmig {

// The texts the command line, the unattended run and the drivers tell the
// user, each an English template whose placeholders %1 to %9 take the
// values of one message. The windows translate a template before they fill
// it in; everyone else fills in the English one.
enum class MessageId {
    // The unattended run's command line.
    CommandLineNeedsFourValues,
    CommandLineValueHoldsEquals,
    CommandLineNotInForm,
    CommandLineValueEmpty,
    CommandLineItemsNotAMask,
    CommandLineNoItem,
    CommandLinePasswordBreak,
    PasswordGivenTwice,
    PasswordFileHoldsNul,
    // The unattended run.
    ProgramLine,
    WarningLine,
    NoProfileInPrefix,
    NoProfileInUserFolder,
    NoSuchProfile,
    WineOpenDuringRun,
    RunWriteFailed,
    PartialNotRenamed,
    RunWritten,
    RunNothingToBackUpFor,
    RunItemsFailed,
    RunEarlierKept,
    OldVersionNotRemoved,
    RunRefused,
    RunFailed,
    // The backup and restore drivers.
    ChooseBackupFileName,
    SelectAnItem,
    EnterPassword,
    PasswordsDiffer,
    BackupCompressing,
    BackupVerifying,
    BackupCancelled,
    BackupNotWritten,
    BackupEarlierKept,
    BackupCompleted,
    ChooseFileToRestore,
    InvalidBackupFile,
    RestoreIntoReadOnlySource,
    // What became of the unattended runs.
    RunResultSucceeded,
    RunResultRefused,
    RunResultPartlyFailed,
    RunResultFailed,
    LastBackupNone,
    LastBackupAt,
    LastBackupStale,
    // More of the drivers.
    BackupFileExists,
    BackupWhileWineRuns,
    InvalidBackupFileBecause,
    PasswordOrFileRefused,
    InvalidBackupFileBare,
    InformationFileListBad,
    RestoreWhileWineRuns,
    RestoreNotCompleted,
    RestoreCompleted,
    // The command line's verbs.
    NoTaskScheduled,
    NoSuchTask,
    NoCrontabTaskMoved,
    TaskNowTimer,
    NoRestoreToUndo,
    NoRestoreToUndoThatFarBack,
    NoPrefixOrPartitionFound,
    NoProfileCreateMakesIt,
    ProfileExistsAlready,
    BackupFileLacksItem,
    ScheduleCommandRefused,
    DaysNotADayList,
    NoProfileForJobInPrefix,
    NoProfileForJobInUserFolder,
    WindowNotOpened,
    OutlookNotInstalled,
    ArchiveSound,
    ArchiveDamaged,
    ArchiveRefused,
    NoPrefixFolder,
    NoDisplay,
    // The steps of a backup or restore, shown while they run: one per item
    // record, ItemStep plus the record's index (StepMessage), its text the
    // record's status.
    ItemStep,
    OperationComplete = ItemStep + static_cast<int>(kItemRecordCount),
    // Undoing a restore.
    ReasonOnly,
    UndoRecordUnreadable,
    UndoWhileWineRuns,
    UndoFailed,
    UndoNothingChanged,
    UndoFilesNotRenamedBack,
    Undone,
    // The command line refused.
    OptionNeedsValue,
    UnknownOption,
    VolumeGoesWithWriteIso,
    ChooseOneAction,
    KeepNotANumber,
    KeepGoesWithBackup,
    CreateGoesWithRestore,
    WindowsRootGoesWithUser,
    PrefixOrWindowsUser,
    WindowsUserGoesWith,
    KeepPasswordFileGoesWithRemove,
    AtAndDaysGoWithSchedule,
    ScheduleNeedsAt,
    WriteIsoNeedsFiles,
    UndoNumberOutOfRange,
    RemoveJobNeedsNumber,
    RestoreNeedsProfileAndItems,
    // Writing a disc image.
    ImageWritingPercent,
    ImageWouldReplace,
    ImageNeedsFileAndSources,
    ImageFileIsFolder,
    ImageFileIsSource,
    ImageFileInsideSource,
    RecordingLibraryNotStarted,
    ImageCannotTake,
    ImageFolderNotWritable,
    ImageWriting,
    // The percent of a backup file written.
    WritingFilePercent,
    // The backup's read-back, its completion with versions kept, the restore's question.
    BackupVerifyPercent,
    BackupCompletedAs,
    RestoreReplacesChosenItems,
    // A scheduled job as the job list and --list-jobs show it.
    JobHeading,
    JobProfile,
    JobItems,
    JobFile,
    JobProblem,
    JobPrefix,
    JobSource,
    JobVersions,
    JobNextRun,
    JobLastRun,
    JobSourceWindowsUser,
    JobVersionsKept,
    JobVersionsNone,
    JobNextRunUnknown,
    JobLastRunNone,
    // A backup written without some items, with no earlier file to keep.
    BackupPartial,
    // Scheduling a job.
    InvalidBackupFileName,
    JobProfileNameUncarriable,
    JobPasswordUncarriable,
    JobFileNameUncarriable,
    StartTimeNotATime,
    JobNeedsItsPassword,
    TaskNotRunning,
    TaskScheduled,
    TaskNotScheduled,
    JobDaysOnce,
    JobDaysEveryDay,
    JobDaysOfMonth,
    JobDaysOnceNext,
    JobLineChangedByHand,
    JobRefusedBecause,
    JobWhereTimer,
    NoUserManagerJobsStay,
    // The restore driver.
    UndoNotKeptNothingRestored,
    ProfileNotMadeNothingRestored,
    NotRestoredEarlierPartFailed,
    RestoreCancelled,
    RestoreCancelledAfter,
    RestoreCannotBeUndone,
    // The registry.
    RegistryPathIncorrect,
    RegistryKeyMissing,
    RegistryValueNotWritten,
    RegistryPathMalformed,
    RegistryKeyNotMade,
    RegistryValueNotDeleted,
    RegistryRootNotDeleted,
    RegistryKeyNotDeleted,
    // A backup file named on the command line.
    PasswordFileUnreadable,
    NoTerminalForPassword,
    AskBackupFilePassword,
    NoBackupFileAt,
    BackupFileNotReadable,
    BackupFileIsFolder,
    NoPasswordFileAt,
    PasswordFileNotReadable,
    PasswordFileIsFolder,
    // Looking inside the data files of a backup.
    MailStoreUnreadable,
    MailStoreDamaged,
    MailStoreOwnPassword,
    MailStoreNoSuchMessage,
    MailExportFailed,
    BrowseNoDataFiles,
    BrowseNoSuchDataFile,
    BrowseNoSuchFolder,
    BrowseWritten,
    BrowseOptionsGoWithBrowse,
    BrowseNeedsDataFile,
    BrowseExportNeedsMessages,
    BrowseExportAs,
    BrowseNoExportFolder,
    // Versions in a BorgBackup repository.
    RepositoryGoesWith,
    VersionNameGoesWith,
    ReadDataGoesWithVerify,
    RestoreVersionNeeds,
    VerbNeedsRepository,
    RepositoryLineHasFile,
    AskRepositoryPassphrase,
    RepositoryHoldsNoVersion,
    VersionLine,
    VersionsPruned,
    AppendOnlyNothingFreed,
    RepositorySound,
    RepositoryMade,
    VersionExported,
    VersionImported,
    BrowseVersionNeeds,
    JobRepository,
};

// The last message of the table.
inline constexpr MessageId kLastMessageId = MessageId::JobRepository;

// The English template of a message.
std::string_view MessageTemplate(MessageId id);

// The step an item record shows while it runs.
MessageId StepMessage(const ItemRecord& record);

// Puts values[n - 1] where the template says %n; a placeholder without a
// value, and a "%" not followed by 1 to 9, stay as they are.
std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& values);

// One message: which, and its values.
struct Message {
    MessageId id;
    std::vector<std::string> values;

    // In English.
    std::string Text() const { return FillPlaceholders(MessageTemplate(id), values); }
};

// The English text of a message at once.
template <typename... Values> std::string MessageText(MessageId id, Values&&... values) {
    return Message{id, {std::string(std::forward<Values>(values))...}}.Text();
}

} // namespace trelmig
