#pragma once

#include <filesystem>
#include <optional>

namespace trelmig {

// Starts the windows: creates the QApplication and runs its event loop.
// openFile, when given, is opened on the restore tab as "Browse..." would.
// When a window already runs for the prefix, it is brought forward and
// handed openFile instead, and this start ends.
int runGui(int argc, char** argv, const std::optional<std::filesystem::path>& prefix,
           const std::optional<std::filesystem::path>& openFile = std::nullopt);

} // namespace trelmig
