#pragma once

#include "core/RunRecord.h"

#include <string>

namespace trelmig {

struct BackupRunResult;

// What runs.log keeps of one backup that was started, unattended or from the
// window: the archive, its bytes, the items by what became of them, the exit
// status (0 written, 1 failed or cancelled, 3 written but an item failed) and
// the message saying so. record.profile names the profile backed up;
// targetFile is where the archive was to go, chosenFile the name the user
// chose (they differ when versions are kept).
void RecordBackupOutcome(RunRecord& record, const BackupRunResult& outcome,
                         const std::string& targetFile, const std::string& chosenFile);

} // namespace trelmig
