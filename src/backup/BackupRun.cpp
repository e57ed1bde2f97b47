#include "backup/BackupRun.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/ItemBackup.h"
#include "core/CancelToken.h"
#include "core/CompletionLog.h"
#include "core/SettingsFile.h"
#include "platform/Text.h"
#include "registry/RegionalFormat.h"

#include <filesystem>
#include <stdexcept>

namespace trelmig {

std::string EncodeDescription(const std::string& text) {
    return ReplaceAll(text, "\r\n", "QX$ZRM");
}

BackupOutcome PerformBackup(Environment& env, ZipArchive& zip, const BackupRequest& request,
                            const BackupHooks& hooks) {
    Session& s = env.session;
    BackupOutcome outcome;
    std::error_code ec;
    std::filesystem::remove(s.strInfoFile, ec);

    // The information file lives in the work folder: if it cannot be written
    // the archive is never written either, and the previous one stays.
    try {
        const std::pair<const char*, std::string> header[] = {
            {"BackupComputer", s.strComputerName},
            {"BackupLogonUser", s.strLogonUser},
            {"BackupIdentity", request.profile},
            {"BackupTime", DefaultDateTimeText(request.time, ReadRegionalFormat(env.reg))},
            {"Outlookversion", request.outlookDisplayName},
            {"BackupInformation", EncodeDescription(request.description)},
        };
        for (const auto& [key, value] : header)
            SaveINI(key, value, s.strInfoFile, env.ansi);

        ZipFileList files(hooks.fileAdding);
        ItemBackup items(s, env.reg, env.files, env.ansi, files);
        for (const BackupStep& step : backupSteps()) {
            if (CancelRequested(request.cancel))
                throw std::runtime_error("the backup was cancelled");
            const bool runs = StepRuns(step, request.items);
            bool ok = false;
            if (runs) {
                if (hooks.stepStarting)
                    hooks.stepStarting(step);
                ok = items.Run(step, request.profile);
                if (!ok)
                    outcome.failures[StepIndex(step)] = items.LastError();
                if (!step.logName.empty())
                    outcome.log +=
                        CompletionLine(step.logName, step.logSeparator, ok, items.LastError());
            }
            outcome.flags += ok ? '1' : '0';
            if (hooks.addProgress)
                hooks.addProgress((runs ? step.progressWhenRun : 0) + step.progressAfter);
        }
        SaveINI("BackupItem", outcome.flags, s.strInfoFile, env.ansi);
        // An archive without its information file cannot be restored.
        if (!files.AddFile(s.strInfoFile))
            throw std::runtime_error("the information file " + s.strInfoFile +
                                     " cannot be added to the backup file");
        outcome.written = zip.WriteZip(request.targetFile, files, request.password);
        if (!outcome.written)
            outcome.writeError = zip.LastError();
    } catch (const std::exception& e) {
        outcome.written = false;
        outcome.writeError = e.what();
    }
    // A cancel that came too late to stop the write leaves a complete archive.
    outcome.cancelled = !outcome.written && CancelRequested(request.cancel);
    zip.CloseZip();

    for (std::string* scratch : {&s.strInfoFile, &s.strConfigExportFile, &s.strAccountsExportFile,
                                 &s.strOptionsExportFile})
        if (!scratch->empty())
            std::filesystem::remove(*scratch, ec);
    s.strConfigExportFile.clear();
    s.strAccountsExportFile.clear();
    s.strOptionsExportFile.clear();
    return outcome;
}

} // namespace trelmig
