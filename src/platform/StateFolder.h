#pragma once

#include <filesystem>
#include <optional>

namespace trelmig {

// The folder of what the program keeps between runs: $XDG_STATE_HOME/trelmig
// (an absolute XDG_STATE_HOME only), else ~/.local/state/trelmig. nullopt
// when neither is set. Not created here.
std::optional<std::filesystem::path> ProgramStateFolder();

// The folder of what the program may lose without harm: $XDG_CACHE_HOME/trelmig
// (an absolute XDG_CACHE_HOME only), else ~/.cache/trelmig. nullopt when
// neither is set. Not created here.
std::optional<std::filesystem::path> ProgramCacheFolder();

// The folder that keeps what a restore replaced, so that it can be put back:
// "undo" in the program's state folder. Not created here.
std::optional<std::filesystem::path> UndoRecordsFolder();

// Makes copy hold what file holds now, without reading it when that can be
// avoided: a hard link where both are on one file system (the restore and
// the undo only ever rename new files over old ones, never write into them),
// else a clone of its blocks, else a plain copy. Throws std::runtime_error
// naming the file when none works.
void KeepCopyOf(const std::filesystem::path& file, const std::filesystem::path& copy);

} // namespace trelmig
