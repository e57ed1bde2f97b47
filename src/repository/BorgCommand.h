#pragma once

#include "core/CancelToken.h"
#include "core/Error.h"
#include "repository/BorgLogLine.h"
#include "repository/Repository.h"

#include <string>
#include <vector>

namespace trelmig {

// One run of borg: "borg --log-json --lock-wait N <arguments>", the
// passphrase through BORG_PASSPHRASE_FD.
struct BorgCall {
    RepositoryAddress address;          // for the words of a failure and the lock's holder
    std::vector<std::string> arguments; // after the common options: "create", "--json", ...
    std::string passphrase;
    std::string workingFolder; // empty: this process's
    RepositoryProgressCallback progress;
    const CancelToken* cancel = nullptr;
    // The words a failure begins with: "The backup into the repository ... failed".
    std::string what;
    std::string input; // borg's standard input; empty: none
};

// A call with the fields every call has; the others empty.
BorgCall MakeBorgCall(const RepositoryAddress& address, std::vector<std::string> arguments,
                      const std::string& passphrase, std::string what);

struct BorgOutput {
    std::string json;                  // standard output
    bool warned = false;               // exit status 1: done, with warnings
    std::vector<BorgLogLine> messages; // borg's warnings and notes
};

// Runs borg and, unless it ended with 0 or 1, turns what it said into one
// Error that names the reason (not installed, wrong passphrase, no
// repository, locked, connection closed, disk full, cancelled, ...).
Result<BorgOutput> RunBorg(const BorgCall& call);

// The Error for a failed run from its messages; for the tests' sake apart.
Error BorgFailure(const BorgCall& call, const std::vector<BorgLogLine>& messages, int exitCode,
                  bool cancelled);

} // namespace trelmig
