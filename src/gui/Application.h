#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace trelmig {

// Starts the windows: creates the QApplication and runs its event loop.
// openFile, when given, is opened on the restore tab as "Browse..." would.
// When a window already runs for the prefix, it is brought forward and
// handed openFile instead, and this start ends.
// The prefix the window opens: --prefix, else $WINEPREFIX, else the one it
// opened last (while it is still a prefix), else ~/.wine; nullopt where
// WinePrefix::locate decides.
std::optional<std::filesystem::path>
WindowPrefix(const std::optional<std::filesystem::path>& prefix);

// What the user is told when the prefix opened last is no prefix any more
// (deleted, or its registry files gone) and the window opens opened instead;
// nullopt when nothing was passed over.
std::optional<std::string>
PassedOverPrefixMessage(const std::optional<std::filesystem::path>& prefix,
                        const std::filesystem::path& opened);

// windowsUser, when given, is a Windows user folder the window reads
// instead of a prefix (backups only: nothing is written there), on the
// Windows partition windowsRoot when one is named.
int runGui(int argc, char** argv, const std::optional<std::filesystem::path>& prefix,
           const std::optional<std::filesystem::path>& openFile = std::nullopt,
           const std::optional<std::filesystem::path>& windowsUser = std::nullopt,
           const std::optional<std::filesystem::path>& windowsRoot = std::nullopt);

} // namespace trelmig
