#pragma once

#include "backup/BackupDriver.h"
#include "core/KeepPolicy.h"
#include "repository/RepositoryAddress.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trelmig {

// The backup tab's choices turned into a backup that becomes a new version
// in the repository at address, opened with the passphrase typed.
BackupChoices RepositoryBackupChoices(BackupChoices choices, const RepositoryAddress& address);

// What settles a new version of a repository: the older versions of its
// source that keep does not keep are pruned. Why they could not be goes to
// problems; the new version stays either way.
std::function<void(BackupRunResult&)>
PruneAfterVersion(const BackupChoices& choices, const KeepPolicy& keep,
                  std::shared_ptr<std::vector<std::string>> problems);

} // namespace trelmig
