#pragma once

#include "core/Error.h"
#include "repository/RepositoryVersion.h"

#include <string_view>
#include <vector>

namespace trelmig {

// The versions in what `borg info --json` or `borg create --json` printed:
// the "archives" list, or the one "archive"; name, time, sizes and what the
// comment says.
Result<std::vector<RepositoryVersion>> VersionsOfBorgJson(std::string_view json);

// The regular files, in order, of what `borg list --json-lines` printed for
// one archive ("./a" and "a" both become "a").
Result<std::vector<std::string>> FilesOfBorgJsonLines(std::string_view jsonLines);

// Whether a version name is one of the checkpoints borg leaves when a run
// is stopped: "NAME.checkpoint", "NAME.checkpoint.2".
bool IsCheckpointName(std::string_view name);

// "2026-12-10T07:21:19.000000" (local time, as borg prints it) in seconds
// since the epoch; 0 for a text that is no such time.
std::int64_t EpochOfBorgTime(std::string_view text);

// The UTC time borg create --timestamp takes for a local time.
std::string BorgTimestampOf(const VersionTime& localTime);

} // namespace trelmig
