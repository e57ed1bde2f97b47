#pragma once

#include <filesystem>
#include <optional>

namespace trelmig {

// The Wine prefix the main window last opened, kept for the next start in a
// small settings file: $XDG_CONFIG_HOME/trelmig/window.conf (else
// ~/.config/trelmig/window.conf), one line "prefix=<folder>".

// The settings file; nullopt when neither $XDG_CONFIG_HOME nor $HOME is set.
std::optional<std::filesystem::path> RememberedPrefixFile();
// The remembered folder; nullopt when none is remembered or the file cannot
// be read.
std::optional<std::filesystem::path> LoadRememberedPrefix();
// Replaces the file as a whole (the old one stays on any failure). Throws
// std::runtime_error naming the file and the reason, also for a folder name
// that cannot be one line.
void SaveRememberedPrefix(const std::filesystem::path& prefix);

} // namespace trelmig
