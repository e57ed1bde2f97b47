#include "platform/WinePrefixFinder.h"

#include "platform/SubFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace trelmig {

PrefixPlaces PrefixPlaces::FromEnvironment() {
    PrefixPlaces places;
    if (const char* home = std::getenv("HOME"); home && *home)
        places.home = home;
    // The passwd entry is read by the thread that starts a run, never by workers.
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        places.home = pw->pw_dir;
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        places.winePrefix = prefix;
    // Only an absolute XDG_DATA_HOME counts, as the XDG base directories have it.
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        places.xdgDataHome = data;
    return places;
}

bool LooksLikeWinePrefix(const fs::path& folder) {
    std::error_code ec;
    return (fs::is_regular_file(folder / "system.reg", ec) ||
            fs::is_regular_file(folder / "user.reg", ec)) &&
           fs::is_directory(folder / "drive_c", ec);
}

std::vector<FoundPrefix> FindWinePrefixes(const PrefixPlaces& places) {
    std::vector<FoundPrefix> found;
    std::set<fs::path> seen;
    auto consider = [&](const fs::path& folder, const std::string& origin) {
        if (!LooksLikeWinePrefix(folder))
            return false;
        std::error_code ec;
        fs::path key = fs::canonical(folder, ec);
        if (ec)
            key = folder.lexically_normal();
        if (seen.insert(key).second)
            found.push_back({folder, origin});
        return true;
    };
    auto eachIn = [&](const fs::path& parent, const std::string& origin) {
        for (const fs::path& folder : SortedSubfolders(parent))
            consider(folder, origin);
    };

    const fs::path& home = places.home;
    const fs::path data = places.xdgDataHome.value_or(home / ".local" / "share");
    if (places.winePrefix)
        consider(*places.winePrefix, "WINEPREFIX");
    consider(home / ".wine", "~/.wine");
    eachIn(home / ".cxoffice", "CrossOver");
    eachIn(data / "bottles" / "bottles", "Bottles");
    eachIn(home / ".var/app/com.usebottles.bottles/data/bottles/bottles", "Bottles (Flatpak)");
    eachIn(home / ".PlayOnLinux" / "wineprefix", "PlayOnLinux");
    // Lutris installs a game into ~/Games/NAME, its prefix there or in NAME/prefix.
    for (const fs::path& game : SortedSubfolders(home / "Games"))
        if (!consider(game, "Lutris"))
            consider(game / "prefix", "Lutris");
    eachIn(data / "wineprefixes", "winetricks");
    return found;
}

} // namespace trelmig
