#include "platform/WinePrefix.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

fs::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    // The passwd entry is read by the thread that starts a run, never by workers.
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}

// Whether some process holds a lock that would block a write lock on byte 0.
bool lockHeld(const fs::path& lockFile) {
    int fd = open(lockFile.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        fd = open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    query.l_start = 0;
    query.l_len = 1;
    bool held = fcntl(fd, F_GETLK, &query) == 0 && query.l_type != F_UNLCK;
    close(fd);
    return held;
}

} // namespace

WinePrefix::WinePrefix(fs::path root) : root_(std::move(root)) {}

WinePrefix WinePrefix::locate(const std::optional<fs::path>& explicitRoot) {
    if (explicitRoot && !explicitRoot->empty())
        return WinePrefix(*explicitRoot);
    if (const char* env = std::getenv("WINEPREFIX"); env && *env)
        return WinePrefix(env);
    return WinePrefix(homeFolder() / ".wine");
}

std::optional<fs::path> WinePrefix::driveRoot(char letter) const {
    if (!std::isalpha(static_cast<unsigned char>(letter)))
        return std::nullopt;
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    std::error_code ec;
    fs::path resolved = fs::canonical(dosdevices() / (std::string(1, lower) + ":"), ec);
    if (ec || !fs::is_directory(resolved, ec))
        return std::nullopt;
    return resolved;
}

std::vector<fs::path> WinePrefix::serverLockCandidates() const {
    struct stat st {};
    if (stat(root_.c_str(), &st) != 0)
        return {};
    char serverDir[64];
    std::snprintf(serverDir, sizeof serverDir, "server-%lx-%lx",
                  static_cast<unsigned long>(st.st_dev), static_cast<unsigned long>(st.st_ino));
    const std::string uid = std::to_string(getuid());

    std::vector<fs::path> candidates;
    const auto add = [&](const fs::path& base) {
        fs::path lock = base / serverDir / "lock";
        if (std::find(candidates.begin(), candidates.end(), lock) == candidates.end())
            candidates.push_back(std::move(lock));
    };
    // Wine with a runtime folder for the user.
    add(fs::path("/run/user") / uid / "wine");
    // Debian's Wine makes its server's base with mkdtemp ("wine-XXXXXX") in
    // $TMPDIR or /tmp and writes only that folder's name into the prefix's
    // "wineserver" file; the server run may have seen another $TMPDIR than
    // ours, so the name is looked for in both, and every such base holding a
    // folder for this prefix counts.
    std::vector<fs::path> tempBases;
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp && fs::path(tmp).is_absolute())
        tempBases.emplace_back(tmp);
    tempBases.emplace_back("/tmp");
    if (std::ifstream named(root_ / "wineserver"); named) {
        std::string folder;
        std::getline(named, folder);
        while (!folder.empty() && std::isspace(static_cast<unsigned char>(folder.back())))
            folder.pop_back();
        if (!folder.empty() && fs::path(folder).is_absolute())
            add(folder);
        else if (!folder.empty())
            for (const fs::path& base : tempBases)
                add(base / folder);
    }
    for (const fs::path& base : tempBases) {
        std::error_code ec;
        for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.size() == 11 && name.starts_with("wine-") &&
                fs::exists(it->path() / serverDir / "lock", ec))
                add(it->path());
        }
    }
    // Wine's own layout.
    add(fs::path("/tmp") / (".wine-" + uid));
    return candidates;
}

bool WinePrefix::wineserverRunning() const {
    for (const fs::path& lock : serverLockCandidates()) {
        std::error_code ec;
        if (fs::is_regular_file(lock, ec) && lockHeld(lock))
            return true;
    }
    return false;
}

} // namespace trelmig
