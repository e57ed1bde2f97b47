#pragma once

#include "app/Environment.h"
#include "core/Prompter.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace trelmig {

// Which Windows machine a run reads: a Wine prefix (--prefix DIR, else
// $WINEPREFIX, else ~/.wine), or a Windows user folder (--windows-user DIR,
// with its partition from --windows-root DIR or found above the folder).
struct MachineSource {
    std::optional<std::filesystem::path> prefix;
    std::optional<std::filesystem::path> windowsUser;
    std::optional<std::filesystem::path> windowsRoot;
};

// The environment of that machine; throws as the Environment constructors do
// (std::runtime_error for a folder that is neither, RegistryError for a
// registry that cannot be read).
std::unique_ptr<Environment> OpenEnvironment(const MachineSource& source, Prompter& prompter);

// "Wine prefix: DIR" or "Windows user folder: DIR", for the first line of a listing.
std::string SourceLine(const Environment& env);

} // namespace trelmig
