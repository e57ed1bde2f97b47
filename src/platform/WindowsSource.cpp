#include "platform/WindowsSource.h"

#include "platform/Utf.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

// The entry of folder named name without regard to case.
std::optional<fs::path> entryNoCase(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(folder / name, ec))
        return folder / name;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (equalsNoCase(it->path().filename().string(), name))
            return it->path();
    return std::nullopt;
}

std::optional<fs::path> pathNoCase(fs::path folder, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        std::optional<fs::path> next = entryNoCase(folder, name);
        if (!next)
            return std::nullopt;
        folder = *next;
    }
    return folder;
}

std::optional<fs::path> regularFile(const std::optional<fs::path>& path) {
    std::error_code ec;
    if (path && fs::is_regular_file(*path, ec))
        return path;
    return std::nullopt;
}

// The transaction logs beside a hive that are newer than it and hold something.
std::vector<std::string> newerLogs(const fs::path& hive) {
    std::vector<std::string> found;
    std::error_code ec;
    const auto hiveTime = fs::last_write_time(hive, ec);
    if (ec)
        return found;
    for (const char* suffix : {".LOG1", ".LOG2", ".LOG"}) {
        const auto log = entryNoCase(hive.parent_path(), hive.filename().string() + suffix);
        if (!log || fs::file_size(*log, ec) == 0 || ec)
            continue;
        if (fs::last_write_time(*log, ec) > hiveTime && !ec)
            found.push_back(log->filename().string());
    }
    return found;
}

struct Mount {
    std::string point;
    std::string type;
    bool readOnly = false;
};

// The mount holding path, from /proc/self/mountinfo (the longest mount point
// that contains it).
std::optional<Mount> mountOf(const fs::path& path) {
    std::error_code ec;
    const std::string target = fs::weakly_canonical(path, ec).string();
    std::ifstream info("/proc/self/mountinfo");
    std::optional<Mount> best;
    for (std::string line; std::getline(info, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point, options, field;
        fields >> id >> parent >> device >> root >> point >> options;
        while (fields >> field && field != "-") {
        }
        std::string type;
        fields >> type;
        const bool inside = target == point || (target.starts_with(point) &&
                                                (point == "/" || target[point.size()] == '/'));
        if (inside && (!best || point.size() > best->point.size()))
            best = Mount{point, type, options == "ro" || options.starts_with("ro,")};
    }
    return best;
}

} // namespace

std::optional<fs::path> WindowsConfigFolder(const fs::path& root) {
    std::optional<fs::path> config = pathNoCase(root, {"Windows", "System32", "config"});
    std::error_code ec;
    if (config && fs::is_directory(*config, ec))
        return config;
    return std::nullopt;
}

WindowsSource WindowsSource::Open(const fs::path& userFolder,
                                  const std::optional<fs::path>& windowsRoot) {
    std::error_code ec;
    WindowsSource source;
    source.userFolder = fs::absolute(userFolder, ec).lexically_normal();
    if (source.userFolder.filename().empty())
        source.userFolder = source.userFolder.parent_path();
    const std::optional<fs::path> hive = regularFile(entryNoCase(source.userFolder, "NTUSER.DAT"));
    if (!hive)
        throw std::runtime_error(userFolder.string() +
                                 " is not a Windows user folder: it has no NTUSER.DAT.");
    source.userHive = *hive;
    const fs::path root = windowsRoot ? fs::absolute(*windowsRoot, ec)
                                      : source.userFolder.parent_path().parent_path();
    const std::optional<fs::path> config = WindowsConfigFolder(root);
    if (windowsRoot && !config)
        throw std::runtime_error(
            windowsRoot->string() +
            " is not a Windows partition: it has no Windows\\System32\\config.");
    if (config) {
        source.systemDrive = root;
        source.softwareHive = regularFile(entryNoCase(*config, "SOFTWARE"));
        source.systemHive = regularFile(entryNoCase(*config, "SYSTEM"));
    }
    return source;
}

bool HiveSequenceDiffers(const fs::path& hive) {
    std::ifstream in(hive, std::ios::binary);
    std::array<unsigned char, 12> head{};
    if (!in.read(reinterpret_cast<char*>(head.data()), head.size()))
        return false;
    const auto word = [&](std::size_t at) {
        return static_cast<std::uint32_t>(head[at]) |
               static_cast<std::uint32_t>(head[at + 1]) << 8 |
               static_cast<std::uint32_t>(head[at + 2]) << 16 |
               static_cast<std::uint32_t>(head[at + 3]) << 24;
    };
    return word(4) != word(8);
}

std::vector<std::string> WindowsSourceWarnings(const WindowsSource& source) {
    std::vector<std::string> warnings;
    std::vector<fs::path> hives{source.userHive};
    for (const auto& h : {source.softwareHive, source.systemHive})
        if (h)
            hives.push_back(*h);
    for (const fs::path& hive : hives) {
        std::string why;
        if (HiveSequenceDiffers(hive))
            why = "its sequence numbers differ";
        if (const auto logs = newerLogs(hive); !logs.empty())
            why += (why.empty() ? "" : " and ") + logs.front() + " is newer than it";
        if (!why.empty())
            warnings.push_back(
                "Windows did not close the registry hive " + hive.string() + " (" + why +
                "): Windows was hibernated or shut down with Fast Startup, so its latest "
                "settings are still in the log files, which are not read. The hive is read as "
                "it is. For the latest settings, start Windows and shut it down fully (hold "
                "Shift while choosing Shut down, or turn Fast Startup off in the Power Options), "
                "then back up again.");
    }
    if (const auto mount = mountOf(source.userFolder);
        mount && mount->readOnly &&
        (mount->type == "ntfs" || mount->type == "ntfs3" || mount->type == "fuseblk"))
        warnings.push_back(
            "The Windows partition " + mount->point +
            " is mounted read-only, most likely because Windows is hibernated or was shut down "
            "with Fast Startup: what was open in Windows may not be on the disk yet. Start "
            "Windows and shut it down fully (or turn Fast Startup off) for the latest data.");
    return warnings;
}

} // namespace trelmig
