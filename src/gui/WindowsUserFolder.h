#pragma once

#include <filesystem>
#include <optional>

class QWidget;

namespace trelmig {

// File > "Open Windows User Folder...": asks for a Windows user folder (the
// dialog opens on the first one of a mounted Windows partition); nullopt
// when cancelled.
std::optional<std::filesystem::path> AskWindowsUserFolder(QWidget* parent);

} // namespace trelmig
