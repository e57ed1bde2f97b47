#include "backup/BackupDriver.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/BackupRequest.h"
#include "backup/BackupRun.h"
#include "backup/CheckBackupChoices.h"
#include "backup/ItemBackup.h"
#include "core/CancelToken.h"
#include "core/ItemCatalogue.h"
#include "core/ProgressView.h"
#include "core/Prompter.h"
#include "platform/Text.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

namespace trelmig {

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

BackupDriver::BackupDriver(Environment& env, ZipArchive& zip, Prompter& prompter,
                           ProgressView& progress)
    : env_(env), zip_(zip), prompter_(prompter), progress_(progress) {}

namespace {

// Where the bar stands once the items are gathered and once the archive is
// written; the rest follows its read-back.
constexpr int kGatherShare = 5;
constexpr int kWrittenShare = 70;

// The local time a file was last written, "YYYY-MM-DD HH:MM:SS": the
// windows show it in the user's locale, as every other time.
std::string modifiedText(const std::string& hostPath) {
    struct stat st {};
    if (::stat(hostPath.c_str(), &st) != 0)
        return "an unknown date";
    std::tm t{};
    localtime_r(&st.st_mtime, &t);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &t);
    return text;
}

// False when the user chose not to replace the file at the target.
bool mayOverwrite(Prompter& prompter, const std::string& target) {
    std::error_code ec;
    if (!std::filesystem::exists(target, ec))
        return true;
    return prompter.ShowMessage({MessageId::BackupFileExists, {target, modifiedText(target)}},
                                MessageIcon::Exclamation,
                                MessageButtons::OverwriteCancel) == MessageAnswer::Ok;
}

// False when the user chose to cancel while Outlook is open; Retry asks again
// once the user says it is closed.
bool mayGoOnWhileWineRuns(Environment& env, Prompter& prompter) {
    while (env.prefix.wineserverRunning()) {
        const MessageAnswer answer =
            prompter.ShowMessage({MessageId::BackupWhileWineRuns, {env.prefix.root().string()}},
                                 MessageIcon::Exclamation, MessageButtons::RetryContinueCancel);
        if (answer == MessageAnswer::Continue)
            return true;
        if (answer != MessageAnswer::Retry)
            return false;
    }
    return true;
}

} // namespace

bool BackupDriver::mayStart(const BackupChoices& c) {
    // A repository's version replaces no file: only the items are checked.
    const ChoicesCheck checked =
        c.repository
            ? CheckItemsChosen(c.items)
            : CheckBackupChoices({c.targetFile, c.items, c.protect, c.password, c.password2});
    if (!checked) {
        prompter_.ShowMessage({checked.error(), {}}, RefusalIcon(checked.error()));
        return false;
    }
    return (c.repository || mayOverwrite(prompter_, c.targetFile)) &&
           mayGoOnWhileWineRuns(env_, prompter_);
}

BackupRequest BackupDriver::requestFor(const BackupChoices& c, const CancelToken* cancel) {
    // The window names a new version itself (settle needs its name), so the
    // request writes exactly the target it was given.
    BackupRequest request = MakeBackupRequest({.profile = c.profile,
                                               .items = ItemMask(c.items),
                                               .chosenFile = c.targetFile,
                                               .password = c.protect ? c.password : std::string(),
                                               .description = c.description},
                                              env_);
    request.cancel = cancel;
    if (c.repository) {
        request.repository = c.repository;
        request.password.clear();
        if (!request.repository->progress)
            request.repository->progress = [this,
                                            started = false](const RepositoryProgress& p) mutable {
                if (!started) {
                    started = true;
                    progress_.SetStatus({MessageId::BackupCompressing, {}});
                }
                if (p.totalBytes != 0)
                    progress_.SetByteProgress(ByteWork::Compressing, p.path,
                                              std::min(p.originalBytes, p.totalBytes),
                                              p.totalBytes);
            };
    }
    return request;
}

BackupRunResult BackupDriver::performShown(const BackupRequest& request,
                                           const CancelToken* cancel) {
    // The existing archive stays until the new one is complete.
    progress_.SetBusy(true);
    progress_.SetBarValue(0);
    progress_.SetShown(true);

    // A phase measured in bytes: its status once, at its first bytes, then
    // the bytes of the file at work.
    const auto bytePhase = [this](MessageId status, ByteWork work) {
        return [this, status, work, started = false](const std::string& shown, std::uint64_t done,
                                                     std::uint64_t total) mutable {
            if (!started) {
                started = true;
                progress_.SetStatus({status, {}});
            }
            progress_.SetByteProgress(work, shown, done, total);
        };
    };
    zip_.SetEvents({
        .fileExtracting = {},
        .writeProgress =
            [&](int percent) {
                progress_.SetPercent({MessageId::WritingFilePercent, {std::to_string(percent)}});
                progress_.SetBarValue(kGatherShare +
                                      percent * (kWrittenShare - kGatherShare) / 100);
            },
        .writeFinished = {},
        .writeCancelled = [cancel] { return CancelRequested(cancel); },
        .extractProgress = {},
        // The long part: the last item's step is over by now.
        .writeBytes = bytePhase(MessageId::BackupCompressing, ByteWork::Compressing),
    });
    int stepsDone = 0;
    const BackupHooks hooks{
        .stepStarting =
            [&](const ItemRecord& step) {
                progress_.SetStatus({StepMessage(step), {}});
            },
        .fileAdding =
            [&](const std::string& name) {
                // The information file is ours, not one of the user's files.
                progress_.SetItemText(name == kInfoFileShown ? std::string("Adding the backup's "
                                                                           "information")
                                                             : "Adding File " + name);
            },
        .addProgress =
            [&](int) {
                progress_.SetBarValue(kGatherShare * ++stepsDone /
                                      static_cast<int>(kItemRecordCount));
            },
        // The archive is read back before it takes its place.
        .verifying =
            [this, shown = bytePhase(MessageId::BackupVerifying, ByteWork::Verifying)](
                const std::string& file, std::uint64_t done, std::uint64_t total) mutable {
                const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
                progress_.SetPercent({MessageId::BackupVerifyPercent, {std::to_string(percent)}});
                progress_.SetBarValue(kWrittenShare + percent * (100 - kWrittenShare) / 100);
                shown(file, done, total);
            },
    };
    BackupRunResult result = PerformBackup(env_, zip_, request, hooks);
    zip_.SetEvents({});

    if (result.written)
        progress_.SetBarValue(100);
    progress_.SetBusy(false);
    progress_.SetItemText("");
    progress_.SetPercentText("");
    progress_.SetShown(false);
    progress_.SetBarValue(0);
    return result;
}

void BackupDriver::report(const BackupRunResult& result, const BackupChoices& c) {
    const std::string& targetFile = c.targetFile;
    if (result.cancelled) {
        prompter_.ShowMessage({MessageId::BackupCancelled, {targetFile}}, MessageIcon::Information);
    } else if (!result.written) {
        // Saying "Completed" here would hide that there is no new backup.
        prompter_.ShowMessage(
            {MessageId::BackupNotWritten, {targetFile, result.writeError, result.log}},
            MessageIcon::Critical);
    } else if (result.keptEarlier) {
        prompter_.ShowMessage(
            {MessageId::BackupEarlierKept, {targetFile, result.archivePath, result.log}},
            MessageIcon::Exclamation);
    } else if (result.Partial()) {
        // No earlier file to keep, but a chosen item is missing: not "Completed".
        prompter_.ShowMessage({MessageId::BackupPartial, {result.archivePath, result.log}},
                              MessageIcon::Exclamation);
    } else if (!c.chosenFile.empty() && result.archivePath != c.chosenFile) {
        prompter_.ShowMessage({MessageId::BackupCompletedAs, {result.archivePath, result.log}},
                              MessageIcon::Information);
    } else {
        prompter_.ShowMessage({MessageId::BackupCompleted, {result.log}}, MessageIcon::Information);
    }
}

BackupRunResult BackupDriver::RunBackup(const BackupChoices& c, const CancelToken* cancel) {
    if (running_ || !mayStart(c))
        return {};
    running_ = true;
    BackupRunResult result = performShown(requestFor(c, cancel), cancel);
    running_ = false;
    if (result.written && c.settle)
        c.settle(result);
    report(result, c);
    return result;
}

} // namespace trelmig
