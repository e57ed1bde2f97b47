#pragma once

#include "repository/RepositoryAddress.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace trelmig {

struct CommandLine;

// The repository a verb names with --repository, and its passphrase: the
// first line of --password-file; none where the user's environment gives
// borg one (BORG_PASSPHRASE, BORG_PASSCOMMAND, BORG_PASSPHRASE_FD); else typed
// at the terminal (empty for a repository without encryption); none without
// a terminal.
struct RepositoryArgument {
    RepositoryAddress address;
    std::string passphrase;
};

// nullopt after the reason was printed on err (a bad address, an unreadable
// password file, a prompt given up).
std::optional<RepositoryArgument> ReadRepositoryArgument(const CommandLine& cmd, std::ostream& err);

// Runs verb on the version --version-name names, written first as an
// unprotected .kvx into the run's private work folder (removed afterwards):
// the verb then takes it as it takes a backup file. 2 when the version
// cannot be had, else the verb's own exit code.
using BackupFileVerb = int (*)(const CommandLine&, std::ostream&, std::ostream&);
int RunOnVersionAsBackupFile(const CommandLine& cmd, std::ostream& out, std::ostream& err,
                             BackupFileVerb verb);

} // namespace trelmig
