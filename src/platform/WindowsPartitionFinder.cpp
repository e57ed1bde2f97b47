#include "platform/WindowsPartitionFinder.h"

#include "platform/SubFolders.h"
#include "platform/Utf.h"
#include "platform/WindowsSource.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

std::string userName() {
    if (const char* user = std::getenv("USER"); user && *user)
        return user;
    // The passwd entry is read by the thread that starts a run, never by workers.
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name)
        return pw->pw_name;
    return {};
}

bool isSharedAccount(const std::string& name) {
    for (const char* shared : {"Default", "Default User", "Public", "All Users"})
        if (equalsNoCase(name, shared))
            return true;
    return false;
}

void addUsersOf(const fs::path& partition, std::vector<FoundWindowsUser>& found) {
    if (!WindowsConfigFolder(partition))
        return;
    for (const fs::path& users : SortedSubfolders(partition)) {
        if (!equalsNoCase(users.filename().string(), "Users"))
            continue;
        for (const fs::path& user : SortedSubfolders(users)) {
            if (isSharedAccount(user.filename().string()))
                continue;
            std::error_code ec;
            for (fs::directory_iterator it(user, ec), end; !ec && it != end; it.increment(ec))
                if (equalsNoCase(it->path().filename().string(), "NTUSER.DAT")) {
                    found.push_back({user, partition});
                    break;
                }
        }
    }
}

} // namespace

std::vector<fs::path> WindowsMountPlaces() {
    std::vector<fs::path> places;
    if (const std::string user = userName(); !user.empty()) {
        places.push_back(fs::path("/media") / user);
        places.push_back(fs::path("/run/media") / user);
    }
    places.emplace_back("/mnt");
    return places;
}

std::vector<FoundWindowsUser> FindWindowsUsers(const std::vector<fs::path>& places) {
    std::vector<FoundWindowsUser> found;
    for (const fs::path& place : places) {
        addUsersOf(place, found);
        for (const fs::path& partition : SortedSubfolders(place))
            addUsersOf(partition, found);
    }
    return found;
}

} // namespace trelmig
