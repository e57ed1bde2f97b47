#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// $XDG_STATE_HOME/trelmig/runs.log (an absolute XDG_STATE_HOME only), else
// ~/.local/state/trelmig/runs.log; nullopt when neither is set.
std::optional<std::filesystem::path> RunsLogFile();

// Appends one line with a single write to the file opened for appending, so
// that two runs ending at once never mix their lines, and flushes it to the
// disk. Makes the folder. Throws std::runtime_error naming the file.
void AppendRunsLogLine(const std::filesystem::path& file, const std::string& line);

// The lines of the file, oldest first; none when it does not exist.
std::vector<std::string> RunsLogLines(const std::filesystem::path& file);

} // namespace trelmig
