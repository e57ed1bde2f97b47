#pragma once

#include "repository/RepositoryAddress.h"

#include <optional>
#include <string>

namespace trelmig {

// Who holds the lock of a repository on this machine's disks, as borg's lock
// roster names it: "process 2941 on host vm"; nullopt for a repository on a
// server, or when no roster can be read.
std::optional<std::string> RepositoryLockHolder(const RepositoryAddress& address);

} // namespace trelmig
