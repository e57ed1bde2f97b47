#include "backup/BackupDriver.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/BackupRun.h"
#include "backup/ItemBackup.h"
#include "core/CancelToken.h"
#include "core/ProgressView.h"
#include "core/Prompter.h"
#include "outlook/OutlookEnvironment.h"
#include "platform/Text.h"

#include <algorithm>

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

// Share of the bar for gathering the items; the rest follows the bytes written.
constexpr int kGatherShare = 5;

} // namespace

BackupRunResult BackupDriver::RunBackup(const BackupChoices& c, const CancelToken* cancel) {
    BackupRunResult result;
    if (running_)
        return result;
    Session& s = env_.session;
    if (c.targetFile.empty()) {
        prompter_.Show("Invalid backup file.", MessageIcon::Exclamation);
        return result;
    }
    if (std::none_of(c.items.begin(), c.items.end(), [](bool b) { return b; })) {
        prompter_.Show("Please select at least one item.", MessageIcon::Exclamation);
        return result;
    }
    if (c.protect && c.password.empty() && c.password2.empty()) {
        prompter_.Show("Please enter Password!", MessageIcon::Critical);
        return result;
    }
    if (c.protect && c.password != c.password2) {
        prompter_.Show("Incorect Password!", MessageIcon::Critical);
        return result;
    }
    running_ = true;
    result.started = true;

    // The existing archive stays until the new one is complete.
    progress_.SetBusy(true);
    s.strTargetFile = c.targetFile;
    s.strBackupPassword = c.password;
    progress_.SetProgress(0);
    progress_.ShowPanel(true);
    progress_.ProcessEvents();

    zip_.SetEvents({
        .fileExtracting = {},
        .writeProgress =
            [&](int percent) {
                progress_.ProcessEvents();
                progress_.SetPercentText("Write File " + std::to_string(percent) + "%");
                progress_.SetProgress(kGatherShare + percent * (100 - kGatherShare) / 100);
            },
        .writeFinished = {},
        .writeCancelled = [cancel] { return CancelRequested(cancel); },
        .extractProgress = {},
    });

    BackupRequest request;
    request.profile = c.profile;
    request.items = c.items;
    request.description = c.description;
    request.password = c.protect ? s.strBackupPassword : std::string();
    request.targetFile = c.targetFile;
    request.outlookDisplayName = GetOutlookVersion(s, env_.reg, env_.files, env_.system);
    request.time = LocalTimeNow();
    request.cancel = cancel;

    int stepsDone = 0;
    const BackupHooks hooks{
        .stepStarting =
            [&](const BackupStep& step) {
                progress_.SetStatus(std::string(step.statusText));
                progress_.ProcessEvents();
            },
        .fileAdding =
            [&](const std::string& name) {
                progress_.ProcessEvents();
                progress_.SetFileText("Adding File " + name);
                progress_.ProcessEvents();
            },
        .addProgress =
            [&](int) { progress_.SetProgress(kGatherShare * ++stepsDone / kBackupStepCount); },
    };
    const BackupOutcome outcome = PerformBackup(env_, zip_, request, hooks);
    zip_.SetEvents({});
    result.written = outcome.written;
    result.cancelled = outcome.cancelled;

    if (outcome.written)
        progress_.SetProgress(100);
    progress_.SetBusy(false);
    progress_.SetFileText("");
    progress_.SetPercentText("");
    progress_.ShowPanel(false);
    progress_.SetProgress(0);
    running_ = false;

    if (outcome.cancelled) {
        prompter_.Show("The Backup was cancelled. No backup file was written; a file already at " +
                           c.targetFile + " was left as it was.",
                       MessageIcon::Information);
        return result;
    }
    if (!outcome.written) {
        // Saying "Completed" here would hide that there is no new backup.
        prompter_.Show("The Backup was not Completed! The backup file could not be written:\r\n" +
                           outcome.writeError + "\r\n" + outcome.log,
                       MessageIcon::Critical);
        return result;
    }
    prompter_.Show("The Backup was Completed!\t\t\t\r\n" + outcome.log, MessageIcon::Information);
    if (prompter_.Show("Do you need to backup your data to CD-R/RW or DVD?",
                       MessageIcon::Information, MessageButtons::OkCancel) == MessageAnswer::Ok) {
        s.strDiscFileTitle = BareName(c.targetFile);
        s.strDiscFilePath = c.targetFile;
        result.discRequested = true;
    }
    return result;
}

} // namespace trelmig
