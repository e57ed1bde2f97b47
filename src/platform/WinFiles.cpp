#include "platform/WinFiles.h"

#include "platform/SideFile.h"
#include "platform/TextFile.h"
#include "platform/Utf.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

struct WindowsPath {
    char drive = 0;
    std::vector<std::string> components;
};

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// "X:", "X:\a\b" or "X:/a/b"; nullopt for UNC, device and relative paths.
std::optional<WindowsPath> parse(const std::string& text) {
    if (text.size() < 2 || !std::isalpha(static_cast<unsigned char>(text[0])) || text[1] != ':')
        return std::nullopt;
    if (text.size() > 2 && !isSeparator(text[2]))
        return std::nullopt; // "C:name" is relative to a current folder we do not have
    WindowsPath path;
    path.drive = text[0];
    std::size_t i = 2;
    while (i < text.size()) {
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        std::size_t end = i;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        std::string part = text.substr(i, end - i);
        i = end;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!path.components.empty())
                path.components.pop_back();
            continue;
        }
        path.components.push_back(std::move(part));
    }
    return path;
}

// The entry of folder named name: the exact name when it exists, else the
// first of the names equal to it without regard to case.
std::optional<std::string> findEntry(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(folder / name, ec)))
        return name;
    std::optional<std::string> found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string candidate = it->path().filename().string();
        if (equalsNoCase(candidate, name) && (!found || candidate < *found))
            found = std::move(candidate);
    }
    return found;
}

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// Wine's folders for the junction names of older Windows profiles. Returns the
// replacement and how many components of the path it stands for.
std::optional<std::pair<std::vector<std::string>, std::size_t>>
junctionTarget(const std::vector<std::string>& components, std::size_t i) {
    const std::string& name = components[i];
    if (equalsNoCase(name, "Local Settings")) {
        bool withAppData =
            i + 1 < components.size() && equalsNoCase(components[i + 1], "Application Data");
        return std::make_pair(std::vector<std::string>{"AppData", "Local"},
                              std::size_t{withAppData ? 2u : 1u});
    }
    if (equalsNoCase(name, "Application Data"))
        return std::make_pair(std::vector<std::string>{"AppData", "Roaming"}, std::size_t{1});
    if (equalsNoCase(name, "My Documents"))
        return std::make_pair(std::vector<std::string>{"Documents"}, std::size_t{1});
    return std::nullopt;
}

bool isPlainFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(path, ec));
}

bool existsNoFollow(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// Moves without replacing: renameat2 refuses an existing destination; file
// systems without it fall back to a check before the rename.
bool renameNoReplace(const fs::path& from, const fs::path& to, std::error_code& ec) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) {
        ec.assign(errno, std::generic_category());
        return false;
    }
    if (existsNoFollow(to)) {
        ec = std::make_error_code(std::errc::file_exists);
        return false;
    }
    fs::rename(from, to, ec);
    return !ec;
}

bool renameInto(const fs::path& from, const fs::path& to, bool replace, std::error_code& ec) {
    if (replace) {
        fs::rename(from, to, ec);
        return !ec;
    }
    return renameNoReplace(from, to, ec);
}

fs::path temporaryBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    return target.parent_path() / ("." + target.filename().string() + ".trelmig-" +
                                   std::to_string(getpid()) + "-" + std::to_string(++counter));
}

bool isWithin(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p)
        if (f->empty() && std::next(f) == folder.end())
            return true; // a folder given with a trailing separator
        else if (p == path.end() || *p != *f)
            return false;
    return true;
}

// The folders Wine links into the user's home: users\<name>\Desktop,
// Documents, ... and users\<name>\AppData\Roaming\Microsoft\Windows\Templates.
bool isWineShellFolderLink(const std::vector<std::string>& belowDrive) {
    static const char* const kShellFolders[] = {"Desktop",  "Documents", "Downloads", "Music",
                                                "Pictures", "Videos",    "Templates"};
    if (belowDrive.empty() || !equalsNoCase(belowDrive[0], "users"))
        return false;
    if (belowDrive.size() == 3)
        return std::any_of(std::begin(kShellFolders), std::end(kShellFolders),
                           [&](const char* name) { return equalsNoCase(belowDrive[2], name); });
    static const char* const kTemplates[] = {"AppData", "Roaming", "Microsoft", "Windows",
                                             "Templates"};
    return belowDrive.size() == 7 &&
           std::equal(belowDrive.begin() + 2, belowDrive.end(), std::begin(kTemplates),
                      [](const std::string& a, const char* b) { return equalsNoCase(a, b); });
}

// True when no link on the way from the drive root to host (below the root)
// leads out of the drive. The links Wine makes from the user's shell folders
// into $HOME are part of the Windows machine: below them the home folder
// they lead to stands for the drive.
bool staysOnDrive(const fs::path& driveRoot, const fs::path& host) {
    std::error_code ec;
    fs::path allowed = fs::weakly_canonical(driveRoot, ec);
    if (ec)
        return false;
    const char* homeText = std::getenv("HOME");
    const fs::path home = homeText && *homeText ? fs::weakly_canonical(homeText, ec) : fs::path();
    fs::path walk = driveRoot;
    std::vector<std::string> belowDrive;
    for (const auto& part : host.lexically_relative(driveRoot)) {
        walk /= part;
        belowDrive.push_back(part.string());
        const fs::file_status status = fs::symlink_status(walk, ec);
        if (ec || !fs::exists(status))
            break; // not there yet: created below what was checked
        if (!fs::is_symlink(status))
            continue;
        const fs::path target = fs::weakly_canonical(walk, ec);
        if (ec)
            return false;
        if (isWithin(target, allowed))
            continue;
        if (!home.empty() && isWineShellFolderLink(belowDrive) && isWithin(target, home)) {
            allowed = target;
            continue;
        }
        return false;
    }
    return true;
}

// ".<name>.trelmig-x-XXXXXX": an extraction a killed run left behind.
bool isStaleExtraction(const std::string& name) {
    return name.starts_with('.') && endsWithSideSuffix(name, ".trelmig-x-");
}

// The user folder of a Windows disk stands for "C:\Users\<name>" (and the
// older "C:\Documents and Settings\<name>"), also when it was copied away
// from its partition.
bool namesUserFolder(const std::vector<std::string>& components, const std::string& userName) {
    return components.size() >= 2 &&
           (equalsNoCase(components[0], "Users") ||
            equalsNoCase(components[0], "Documents and Settings")) &&
           equalsNoCase(components[1], userName);
}

} // namespace

WinFiles::WinFiles(WinePrefix prefix) : prefix_(std::move(prefix)) {}

WinFiles::WinFiles(WindowsDisk disk) : prefix_(disk.userFolder), disk_(std::move(disk)) {}

std::optional<fs::path> WinFiles::driveRoot(char letter) const {
    if (!disk_)
        return prefix_.driveRoot(letter);
    if (std::toupper(static_cast<unsigned char>(letter)) != 'C' || !disk_->systemDrive)
        return std::nullopt;
    return disk_->systemDrive;
}

std::optional<WinFiles::Resolved> WinFiles::resolve(const std::string& windowsPath) const {
    std::optional<WindowsPath> parsed = parse(windowsPath);
    if (!parsed)
        return std::nullopt;
    const std::string drive(
        1, static_cast<char>(std::toupper(static_cast<unsigned char>(parsed->drive))));
    std::size_t first = 0;
    Resolved r;
    if (disk_ && drive == "C" && namesUserFolder(parsed->components, disk_->userName)) {
        r = Resolved{disk_->userFolder, "C:\\Users\\" + disk_->userFolder.filename().string()};
        first = 2;
    } else if (std::optional<fs::path> root = driveRoot(parsed->drive)) {
        r = Resolved{*root, drive + ":"};
    } else {
        return std::nullopt;
    }
    bool inExistingFolder = true;
    const auto& components = parsed->components;
    auto step = [&](const std::string& name) {
        std::optional<std::string> entry =
            inExistingFolder ? findEntry(r.host, name) : std::nullopt;
        r.host /= entry ? *entry : name;
        r.windows += "\\" + (entry ? *entry : name);
        inExistingFolder = entry && isFolder(r.host);
    };
    for (std::size_t i = first; i < components.size();) {
        // Windows' own junctions ("Application Data") show on an NTFS mount
        // as links that may lead nowhere: Wine's folder names are tried then.
        const auto present = [&] {
            const std::optional<std::string> entry = findEntry(r.host, components[i]);
            std::error_code ec;
            return entry && (!disk_ || fs::exists(r.host / *entry, ec));
        };
        if (inExistingFolder && !present()) {
            auto junction = junctionTarget(components, i);
            if (junction && findEntry(r.host, junction->first.front())) {
                for (const std::string& name : junction->first)
                    step(name);
                i += junction->second;
                continue;
            }
        }
        step(components[i]);
        ++i;
    }
    if (components.empty())
        r.windows += "\\";
    return r;
}

std::optional<fs::path> WinFiles::hostPath(const std::string& windowsPath) const {
    auto r = resolve(windowsPath);
    return r ? std::optional<fs::path>(r->host) : std::nullopt;
}

std::optional<std::string> WinFiles::canonicalPath(const std::string& windowsPath) const {
    auto r = resolve(windowsPath);
    return r ? std::optional<std::string>(r->windows) : std::nullopt;
}

std::optional<fs::path> WinFiles::hostPathForWriting(const std::string& windowsPath) const {
    std::optional<WindowsPath> parsed = parse(windowsPath);
    if (disk_ || !parsed || parsed->components.empty())
        return std::nullopt; // never the drive itself
    std::optional<fs::path> path = hostPath(windowsPath);
    if (!path || path->filename().empty())
        return std::nullopt;
    std::error_code ec;
    fs::path parent = fs::weakly_canonical(path->parent_path(), ec);
    if (ec)
        return std::nullopt;
    fs::path target = parent / path->filename();
    if (fs::is_symlink(fs::symlink_status(target, ec)))
        return std::nullopt;
    const std::optional<fs::path> driveRoot = prefix_.driveRoot(parsed->drive);
    if (!driveRoot || !staysOnDrive(*driveRoot, *path))
        return std::nullopt;
    return target;
}

std::optional<WinFiles::FolderTargets>
WinFiles::folderForWriting(const std::string& windowsFolder) const {
    std::optional<fs::path> folder = hostPathForWriting(windowsFolder);
    if (!folder || !isFolder(*folder))
        return std::nullopt;
    FolderTargets targets;
    targets.folder_ = *folder;
    std::error_code ec;
    for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        auto [slot, added] = targets.names_.emplace(foldCase(utf8ToUtf16(name)), name);
        if (!added && name < slot->second)
            slot->second = std::move(name); // as findEntry chooses
    }
    return targets;
}

std::optional<fs::path> WinFiles::FolderTargets::fileFor(const std::string& name) const {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of("/\\") != std::string::npos)
        return std::nullopt;
    const auto existing = names_.find(foldCase(utf8ToUtf16(name)));
    const fs::path target = folder_ / (existing != names_.end() ? existing->second : name);
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    if (fs::is_symlink(status) || fs::is_directory(status))
        return std::nullopt;
    return target;
}

std::size_t WinFiles::removeStaleExtractions(const std::string& windowsFolder) const {
    std::optional<fs::path> folder = hostPathForWriting(windowsFolder);
    if (!folder)
        return 0;
    std::vector<fs::path> doomed;
    std::error_code ec;
    for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec))
        if (isStaleExtraction(it->path().filename().string()) && isPlainFile(it->path()))
            doomed.push_back(it->path());
    std::size_t removed = 0;
    for (const auto& path : doomed)
        removed += fs::remove(path, ec) ? 1 : 0;
    return removed;
}

bool WinFiles::folderExists(const std::string& windowsPath) const {
    std::optional<fs::path> path = hostPath(windowsPath);
    return path && isFolder(*path);
}

bool WinFiles::fileExists(const std::string& windowsPath) const {
    std::optional<fs::path> path = hostPath(windowsPath);
    std::error_code ec;
    return path && fs::is_regular_file(*path, ec);
}

std::vector<std::string> WinFiles::listFiles(const std::string& windowsFolder) const {
    std::vector<std::string> names;
    std::optional<fs::path> folder = hostPath(windowsFolder);
    if (!folder)
        return names;
    std::error_code ec;
    for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::u16string fa = foldCase(utf8ToUtf16(a));
        std::u16string fb = foldCase(utf8ToUtf16(b));
        return fa != fb ? fa < fb : a < b;
    });
    return names;
}

std::optional<std::uintmax_t> WinFiles::fileSize(const std::string& windowsPath) const {
    std::optional<fs::path> path = hostPath(windowsPath);
    std::error_code ec;
    if (!path || !fs::is_regular_file(*path, ec))
        return std::nullopt;
    std::uintmax_t size = fs::file_size(*path, ec);
    if (ec)
        return std::nullopt;
    return size;
}

std::optional<std::string> WinFiles::readFile(const std::string& windowsPath) const {
    std::optional<fs::path> path = hostPath(windowsPath);
    if (!path)
        return std::nullopt;
    try {
        return readFileBytes(*path);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

std::ifstream WinFiles::openForReading(const std::string& windowsPath) const {
    std::optional<fs::path> path = hostPath(windowsPath);
    if (!path || isFolder(*path))
        return std::ifstream();
    return std::ifstream(*path, std::ios::binary);
}

std::optional<std::uintmax_t> WinFiles::freeSpace(const std::string& windowsFolder) const {
    std::optional<fs::path> path = hostPath(windowsFolder);
    if (!path)
        return std::nullopt;
    fs::path existing = *path;
    std::error_code ec;
    while (!fs::exists(existing, ec) && existing.has_relative_path())
        existing = existing.parent_path();
    fs::space_info info = fs::space(existing, ec);
    if (ec)
        return std::nullopt;
    return info.available;
}

std::optional<std::uint32_t> WinFiles::attributes(const std::string& windowsPath) const {
    std::optional<fs::path> path = hostPath(windowsPath);
    if (!path)
        return std::nullopt;
    std::error_code ec;
    fs::file_status status = fs::status(*path, ec);
    if (ec || !fs::exists(status))
        return std::nullopt;
    std::uint32_t bits = fs::is_directory(status) ? kDirectory : kArchive;
    const fs::perms writable =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & writable) == fs::perms::none)
        bits |= kReadOnly;
    return bits;
}

bool WinFiles::deleteFile(const std::string& windowsPath) {
    std::optional<fs::path> target = hostPathForWriting(windowsPath);
    if (!target || !isPlainFile(*target))
        return false;
    std::error_code ec;
    return fs::remove(*target, ec) && !ec;
}

bool WinFiles::moveFile(const std::string& from, const std::string& to, bool replaceExisting) {
    std::optional<fs::path> source = hostPathForWriting(from);
    std::optional<fs::path> destination = hostPathForWriting(to);
    if (!source || !destination || !isPlainFile(*source))
        return false;
    if (*source == *destination)
        return true;
    if (existsNoFollow(*destination) && (!replaceExisting || !isPlainFile(*destination)))
        return false;

    std::error_code ec;
    if (renameInto(*source, *destination, replaceExisting, ec))
        return true;
    if (ec != std::errc::cross_device_link)
        return false;

    // Another file system: copy beside the destination, then rename into place,
    // so the destination is never seen half written.
    const fs::path temporary = temporaryBeside(*destination);
    if (!fs::copy_file(*source, temporary, fs::copy_options::none, ec) || ec) {
        fs::remove(temporary, ec);
        return false;
    }
    if (!renameInto(temporary, *destination, replaceExisting, ec)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return fs::remove(*source, ec) && !ec;
}

bool WinFiles::createFolder(const std::string& windowsPath) {
    if (folderExists(windowsPath))
        return true;
    std::optional<fs::path> target = hostPathForWriting(windowsPath);
    if (!target)
        return false;
    std::error_code ec;
    fs::create_directory(*target, ec);
    return !ec && isFolder(*target);
}

std::ofstream WinFiles::openForWriting(const std::string& windowsPath) {
    std::optional<fs::path> target = hostPathForWriting(windowsPath);
    if (!target || isFolder(*target))
        return std::ofstream();
    return std::ofstream(*target, std::ios::binary | std::ios::trunc);
}

bool WinFiles::setAttributes(const std::string& windowsPath, std::uint32_t attributes) {
    std::optional<fs::path> target = hostPathForWriting(windowsPath);
    if (!target || !existsNoFollow(*target))
        return false;
    std::error_code ec;
    if (attributes & kReadOnly)
        fs::permissions(*target,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove, ec);
    else
        fs::permissions(*target, fs::perms::owner_write, fs::perm_options::add, ec);
    return !ec;
}

} // namespace trelmig
