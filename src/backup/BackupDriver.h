#pragma once

#include "backup/BackupRun.h"
#include "core/ItemCatalogue.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace trelmig {

class CancelToken;
class Environment;
class ZipArchive;
class Prompter;
class ProgressView;

// The choices of the backup tab when "Backup Now" is pressed.
struct BackupChoices {
    std::string profile; // cbSource
    ItemSelection items{};
    std::string description; // txtAttachInfo, lines ended by CR LF
    bool protect = false;    // ifprotect
    std::string password;    // txtPassword
    std::string password2;   // txtPassword2
    std::string targetFile;  // host path
    // With versions kept the target is a new version of the file chosen in
    // the window (txtTargetFile): the completion message names the file
    // written, and settle, called on a written version before it is
    // reported, sets a partial one aside and prunes the older ones.
    std::string chosenFile;
    std::function<void(BackupRunResult&)> settle;
    // Set: the backup becomes a version in this repository (targetFile and
    // the password are not used); borg's progress shows as the bytes of the
    // compressing phase unless the target has its own progress callback.
    std::optional<RepositoryTarget> repository;
};

// The interactive backup: validates the choices, asks before it replaces an
// existing file and while Outlook (any Windows program of the prefix) is
// open, gathers the items, writes the archive and reports, through the
// window's Prompter and ProgressView. What became of the backup is its
// result; whether it goes on a disc is the window's question.
// The bar moves with the bytes written into the archive, then with its
// read-back. A set cancel token stops the run between two steps or while the
// archive is written; the previous archive at the target then stays as it was.
class BackupDriver {
public:
    BackupDriver(Environment& env, ZipArchive& zip, Prompter& prompter, ProgressView& progress);
    BackupRunResult RunBackup(const BackupChoices& choices, const CancelToken* cancel = nullptr);
    bool Running() const { return running_; }

private:
    // Says why the choices cannot be backed up, or asks and hears no; false then.
    bool mayStart(const BackupChoices& c);
    BackupRequest requestFor(const BackupChoices& c, const CancelToken* cancel);
    // Gathers and writes with the panel shown and following the work.
    BackupRunResult performShown(const BackupRequest& request, const CancelToken* cancel);
    void report(const BackupRunResult& result, const BackupChoices& c);

    Environment& env_;
    ZipArchive& zip_;
    Prompter& prompter_;
    ProgressView& progress_;
    bool running_ = false;
};

// Local time now.
std::tm LocalTimeNow();

} // namespace trelmig
