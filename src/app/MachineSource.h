#pragma once

#include "app/Environment.h"
#include "core/Prompter.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// Which Windows machine a run reads: a Wine prefix (--prefix DIR, else
// $WINEPREFIX, else ~/.wine), or a Windows user folder (--windows-user DIR,
// with its partition from --windows-root DIR or found above the folder).
struct MachineSource {
    std::optional<std::filesystem::path> prefix;
    std::optional<std::filesystem::path> windowsUser;
    std::optional<std::filesystem::path> windowsRoot;

    static MachineSource Prefix(const std::filesystem::path& root) {
        return {root, std::nullopt, std::nullopt};
    }
    static MachineSource
    WindowsUser(const std::filesystem::path& folder,
                const std::optional<std::filesystem::path>& partition = std::nullopt) {
        return {std::nullopt, folder, partition};
    }
    bool operator==(const MachineSource&) const = default;
};

// The command-line options that start the program on that machine:
// "--prefix DIR", or "--windows-user DIR" with "--windows-root DIR" when the
// partition is named.
std::vector<std::string> MachineArguments(const MachineSource& source);

// The environment of that machine; throws as the Environment constructors do
// (std::runtime_error for a folder that is neither, RegistryError for a
// registry that cannot be read).
std::unique_ptr<Environment> OpenEnvironment(const MachineSource& source, Prompter& prompter);

// "Wine prefix: DIR" or "Windows user folder: DIR", for the first line of a listing.
std::string SourceLine(const Environment& env);

} // namespace trelmig
