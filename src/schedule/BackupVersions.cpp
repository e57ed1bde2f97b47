#include "schedule/BackupVersions.h"

#include "backup/BackupRun.h"
#include "core/Message.h"
#include "platform/VersionFiles.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace trelmig {

std::vector<BackupVersion> VersionsOf(const std::string& chosenFile, bool withPartial) {
    const fs::path chosen(chosenFile);
    const std::string chosenName = chosen.filename().string();
    std::vector<BackupVersion> versions;
    for (const std::string& name : FileNamesBeside(chosen)) {
        const std::string path = (chosen.parent_path() / name).string();
        if (auto time = VersionOfFileName(chosenName, name))
            versions.push_back({path, *time, false});
        else if (!withPartial)
            continue;
        else if (auto partialTime = PartialVersionOfFileName(chosenName, name))
            versions.push_back({path, *partialTime, true});
    }
    // Newest first; of one second, the sound version before the partial one.
    std::ranges::sort(versions, [](const BackupVersion& a, const BackupVersion& b) {
        return a.time != b.time ? a.time > b.time : a.partial < b.partial;
    });
    return versions;
}

std::vector<BackupVersion> VersionsBeside(const std::string& backupFile) {
    const fs::path file(backupFile);
    const auto chosenName = ChosenNameOfVersion(file.filename().string());
    return VersionsOf(chosenName ? (file.parent_path() / *chosenName).string() : backupFile, true);
}

std::vector<std::string> PruneVersions(const std::string& chosenFile, const KeepPolicy& policy,
                                       const std::string& newVersion) {
    const auto versions = VersionsOf(chosenFile, true);
    std::vector<VersionTime> times;
    times.reserve(versions.size());
    for (const auto& v : versions)
        if (!v.partial)
            times.push_back(v.time);
    const std::vector<bool> kept = KeptVersions(times, policy);
    std::vector<std::string> problems;
    for (std::size_t i = 0, sound = 0; i < versions.size(); ++i) {
        // A partial version is stale once a complete one of its time or
        // later is there; until then it is the newest backup there is.
        const bool stays =
            versions[i].partial ? times.empty() || versions[i].time > times.front() : kept[sound++];
        if (stays || fs::path(versions[i].path) == fs::path(newVersion))
            continue;
        std::string error;
        if (!RemoveVersionFile(versions[i].path, error))
            problems.push_back(
                MessageText(MessageId::OldVersionNotRemoved, versions[i].path + ": " + error));
    }
    return problems;
}

std::vector<std::string> SettleNewVersion(const std::string& chosenFile, const KeepPolicy& policy,
                                          const std::string& newVersion, BackupRunResult& outcome) {
    if (!outcome.written)
        return {};
    if (!outcome.Partial())
        return PruneVersions(chosenFile, policy, newVersion);
    if (outcome.archivePath != newVersion)
        return {};
    std::string error;
    const std::string partial = PartialArchiveName(newVersion);
    if (!RenameVersionFile(outcome.archivePath, partial, error))
        return {MessageText(MessageId::PartialNotRenamed, outcome.archivePath, error)};
    outcome.archivePath = partial;
    return {};
}

} // namespace trelmig
