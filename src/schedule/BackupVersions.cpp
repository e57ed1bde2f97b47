#include "schedule/BackupVersions.h"

#include "platform/VersionFiles.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace trelmig {

std::string VersionTarget(const std::string& chosenFile, const std::tm& t) {
    const VersionTime time{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                           t.tm_hour,        t.tm_min,     t.tm_sec};
    const fs::path chosen(chosenFile);
    return (chosen.parent_path() / VersionFileName(chosen.filename().string(), time)).string();
}

std::vector<BackupVersion> VersionsOf(const std::string& chosenFile) {
    const fs::path chosen(chosenFile);
    std::vector<BackupVersion> versions;
    for (const std::string& name : FileNamesBeside(chosen))
        if (auto time = VersionOfFileName(chosen.filename().string(), name))
            versions.push_back({(chosen.parent_path() / name).string(), *time});
    std::ranges::sort(versions, std::greater{}, &BackupVersion::time);
    return versions;
}

std::vector<std::string> PruneVersions(const std::string& chosenFile, const KeepPolicy& policy,
                                       const std::string& newVersion) {
    const auto versions = VersionsOf(chosenFile);
    std::vector<VersionTime> times;
    for (const auto& v : versions)
        times.push_back(v.time);
    const std::vector<bool> kept = KeptVersions(times, policy);
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < versions.size(); ++i) {
        if (kept[i] || fs::path(versions[i].path) == fs::path(newVersion))
            continue;
        std::string error;
        if (!RemoveVersionFile(versions[i].path, error))
            problems.push_back(versions[i].path + ": " + error);
    }
    return problems;
}

} // namespace trelmig
