#pragma once

#include "app/MachineSource.h"
#include "core/KeepPolicy.h"
#include "repository/RepositoryAddress.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// The four values of an unattended run's command line
// " sf=<profile>xm=<mask>ps=<password>bf=<backup file>".
struct AutoBackupCommand {
    std::string profile;
    std::string mask; // eight "0"/"1", one per item
    std::string password;
    std::string backupFile;
};

// Reads the command line by position: it is cut at every "=", piece 0 is
// ignored, every middle piece loses the two letters of the next name. The
// arguments are joined by blanks; a blank that only separated two arguments
// is not part of a value. A line the format cannot carry (not exactly four
// "=", an empty profile, mask or file, a mask that is not eight "0"/"1") is
// refused with the reason in `error`, and so is what the schedule window
// refuses: a mask choosing no item, a password holding a line break.
// With backupFileMayBeEmpty (a backup into a repository) an empty "bf=" is
// taken.
std::optional<AutoBackupCommand> ParseAutoBackupCommand(const std::vector<std::string>& args,
                                                        std::string& error,
                                                        bool backupFileMayBeEmpty = false);

// The whole unattended run: loads the prefix as the main window would, backs
// up with no window and no question, logs one line to the system log, and
// returns the exit code (0 written, 1 failed, 2 refused command line, 3
// written but a chosen item failed). A failure also prints one line on err.
// A password read from a file (passwordFromFile) takes the place of an
// empty "ps=". With a keep policy the run writes a new version beside the
// backup file and, once it was verified, removes the versions the policy does
// not keep. Every run, refused ones too, appends its record to runs.log, and
// one that did not succeed shows a desktop notification.
int RunAutoBackup(const std::vector<std::string>& args,
                  const std::optional<std::filesystem::path>& prefix, std::ostream& err,
                  const std::optional<std::string>& passwordFromFile = std::nullopt,
                  const std::optional<KeepPolicy>& keep = std::nullopt);
// The same from any machine: a Windows user folder is read as it is, and why
// it may not hold the latest (a hive Windows left dirty) is logged and
// printed on err before the run. With a repository the line's "bf=" is
// empty and "ps=" is the repository's passphrase: the backup becomes a new
// version there and, with a keep policy, the versions of the same source the
// policy does not keep are pruned and the repository compacted. The
// repository is never made here.
int RunAutoBackup(const std::vector<std::string>& args, const MachineSource& source,
                  std::ostream& err, const std::optional<std::string>& passwordFromFile,
                  const std::optional<KeepPolicy>& keep = std::nullopt,
                  const std::optional<RepositoryAddress>& repository = std::nullopt);

} // namespace trelmig
