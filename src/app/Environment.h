#pragma once

#include "core/Prompter.h"
#include "core/Session.h"
#include "outlook/ItemLocations.h"
#include "platform/AnsiCodec.h"
#include "platform/SystemInfo.h"
#include "platform/WinFiles.h"
#include "platform/WindowsSource.h"
#include "platform/WinePrefix.h"
#include "platform/WineRegistry.h"
#include "platform/WorkFolder.h"
#include "registry/RegistryKeys.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// Everything one run works with: the prefix standing for the Windows machine,
// its registry, files and facts, the private work folder and the session.
class Environment {
public:
    // Loads the prefix's registry; throws RegistryError for a malformed file
    // and std::runtime_error when the folder is not a Wine prefix.
    Environment(const WinePrefix& prefix, Prompter& prompter);
    // A Windows user folder, read-only: its hives are the registry, the user
    // folder and its partition the files; prefix is the user folder. Throws
    // RegistryError for a hive that cannot be read.
    Environment(const WindowsSource& windows, Prompter& prompter);

    // True for a Windows user folder, which nothing may be written into.
    bool readOnlySource() const { return windowsHives != nullptr; }

    // What the main window gathers at load: names, Windows version, the
    // Outlook version, the profile list under that version's profiles key
    // and, when there are profiles, the user folder and the item locations
    // of the first profile. Returns the Outlook display name ("" when there
    // is no profile).
    std::string Discover();
    // Lists the profiles again, after a restore made or removed one.
    void ReloadProfiles();
    // What Discover found; read-only for everything after it.
    const Session& session() const { return session_; }
    // The locations and availability of the items of one profile.
    ProfileItems ItemsOf(const std::string& profile);
    // Which items of one profile can be backed up.
    ItemStates ItemStatesOf(const std::string& profile) { return ItemsOf(profile).states; }

    WinePrefix prefix;
    WineRegistry registry; // empty, with no files behind it, for a Windows user folder
    std::unique_ptr<RegistryBackend> windowsHives;
    // Why what a Windows user folder holds may not be the latest (a hive
    // Windows left dirty); empty for a Wine prefix.
    std::vector<std::string> sourceWarnings;
    // The Windows partition of a Windows user folder, when it was named or
    // found; none for a Wine prefix.
    std::optional<std::filesystem::path> windowsPartition;
    AnsiCodec ansi;
    SystemInfo system;
    WinFiles files;
    WorkFolder work;
    RegistryKeys reg;

private:
    Session session_;
};

} // namespace trelmig
