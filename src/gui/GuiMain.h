#pragma once

#include <filesystem>
#include <optional>

namespace trelmig {

// Starts the windows: creates the QApplication and runs its event loop.
int runGui(int argc, char** argv, const std::optional<std::filesystem::path>& prefix);

} // namespace trelmig
