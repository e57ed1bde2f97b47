#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// A Wine prefix found on this machine and the place that made it.
struct FoundPrefix {
    std::filesystem::path root;
    std::string origin; // "WINEPREFIX", "~/.wine", "CrossOver", "Bottles", ...
};

// Where the Wine prefixes of one user live: $WINEPREFIX and ~/.wine, then the
// bottles of CrossOver (~/.cxoffice/NAME), Bottles
// ($XDG_DATA_HOME/bottles/bottles/NAME, and the same inside its Flatpak's
// ~/.var/app/com.usebottles.bottles/data), PlayOnLinux
// (~/.PlayOnLinux/wineprefix/NAME), Lutris (~/Games/NAME, or its "prefix"
// folder) and winetricks ($XDG_DATA_HOME/wineprefixes/NAME).
struct PrefixPlaces {
    std::filesystem::path home;
    std::optional<std::filesystem::path> winePrefix;  // $WINEPREFIX
    std::optional<std::filesystem::path> xdgDataHome; // else home/.local/share

    // The places of the running process's user, from its environment.
    static PrefixPlaces FromEnvironment();
};

// True when the folder holds a registry file (system.reg or user.reg) and a
// drive_c folder, as every prefix Wine made does.
bool LooksLikeWinePrefix(const std::filesystem::path& folder);

// Every prefix in those places, each once (the first place that names it
// wins), in the order above and by name within a place. Folders that cannot
// be read are passed over.
std::vector<FoundPrefix> FindWinePrefixes(const PrefixPlaces& places);

} // namespace trelmig
