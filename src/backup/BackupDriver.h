#pragma once

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
    std::string targetFile;  // strTargetFile (host path)
};

struct BackupRunResult {
    bool started = false;       // false when validation stopped it (or one was running)
    bool written = false;       // the archive was written
    bool discRequested = false; // the user wants it on a disc (strDiscFile* are set)
    bool cancelled = false;     // stopped by the user before the archive was in place
};

// The interactive backup: validates the choices, asks before it replaces an
// existing file and while Outlook (any Windows program of the prefix) is
// open, gathers the items, writes the archive and reports, through the
// window's Prompter and ProgressView.
// The bar moves with the bytes written into the archive. A set cancel token
// stops the run between two steps or while the archive is written; the
// previous archive at the target then stays as it was.
class BackupDriver {
public:
    BackupDriver(Environment& env, ZipArchive& zip, Prompter& prompter, ProgressView& progress);
    BackupRunResult RunBackup(const BackupChoices& choices, const CancelToken* cancel = nullptr);
    bool Running() const { return running_; }

private:
    Environment& env_;
    ZipArchive& zip_;
    Prompter& prompter_;
    ProgressView& progress_;
    bool running_ = false;
};

// Local time now.
std::tm LocalTimeNow();

} // namespace trelmig
