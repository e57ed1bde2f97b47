#include "repository/BorgArchiveJson.h"
#include "repository/BorgCommand.h"
#include "repository/Repository.h"

#include <algorithm>
#include <ctime>

namespace trelmig {

namespace {

std::string archiveOf(const RepositoryAddress& address, const std::string& versionName) {
    return address.url + "::" + versionName;
}

VersionTime localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// Every archive of the repository, checkpoints too, with sizes and comments.
Result<std::vector<RepositoryVersion>> allArchives(const RepositoryAddress& address,
                                                   const std::string& passphrase,
                                                   const std::string& glob) {
    BorgCall call{address,
                  {"info", "--json", "--glob-archives", glob, address.url},
                  passphrase,
                  {},
                  {},
                  nullptr,
                  "The versions of the repository " + address.url + " cannot be listed"};
    auto output = RunBorg(call);
    if (!output)
        return std::unexpected(output.error());
    auto versions = VersionsOfBorgJson(output->json);
    if (!versions)
        return Fail(call.what + ": " + versions.error().message);
    return versions;
}

// Removes the checkpoints a stopped run of the source left behind.
Result<void> removeCheckpoints(const RepositoryAddress& address, const std::string& passphrase,
                               const std::string& sourceName) {
    auto archives = allArchives(address, passphrase, sourceName + "-*");
    if (!archives)
        return std::unexpected(archives.error());
    std::vector<std::string> arguments = {"delete", address.url};
    for (const auto& archive : *archives)
        if (IsCheckpointName(archive.name))
            arguments.push_back(archive.name);
    if (arguments.size() == 2)
        return {};
    BorgCall call{address,
                  arguments,
                  passphrase,
                  {},
                  {},
                  nullptr,
                  "The checkpoints a stopped run left in " + address.url + " cannot be removed"};
    if (auto done = RunBorg(call); !done)
        return std::unexpected(done.error());
    return {};
}

} // namespace

Result<std::vector<RepositoryVersion>> ListVersions(const RepositoryAddress& address,
                                                    const std::string& passphrase) {
    auto archives = allArchives(address, passphrase, "*");
    if (!archives)
        return archives;
    std::erase_if(*archives, [](const RepositoryVersion& v) { return IsCheckpointName(v.name); });
    std::stable_sort(archives->begin(), archives->end(),
                     [](const auto& a, const auto& b) { return a.time < b.time; });
    return archives;
}

Result<RepositoryVersion> FindVersion(const RepositoryAddress& address,
                                      const std::string& passphrase,
                                      const std::string& versionName) {
    auto versions = ListVersions(address, passphrase);
    if (!versions)
        return std::unexpected(versions.error());
    if (versionName == kLatestVersionName) {
        if (versions->empty())
            return Fail("The repository " + address.url + " holds no version yet.");
        return versions->back();
    }
    for (const auto& version : *versions)
        if (version.name == versionName)
            return version;
    return Fail("The repository " + address.url + " holds no version named \"" + versionName +
                "\".");
}

Result<RepositoryVersion> CreateVersion(const RepositoryAddress& address,
                                        const std::string& passphrase,
                                        const VersionRequest& request,
                                        const RepositoryProgressCallback& progress,
                                        const CancelToken* cancel) {
    const std::string source =
        RepositorySourceName(request.computer, request.prefix, request.profile);
    if (auto cleaned = removeCheckpoints(address, passphrase, source); !cleaned)
        return std::unexpected(cleaned.error());

    RepositoryVersion version;
    version.computer = request.computer;
    version.prefix = request.prefix;
    version.profile = request.profile;
    version.items = request.items;
    version.name = RepositoryVersionName(source, request.time.value_or(localTimeNow()));
    std::vector<std::string> arguments = {
        "create",        "--json",     "--progress", "--chunker-params",     kChunkerParams,
        "--compression", kCompression, "--comment",  VersionComment(version)};
    if (request.time) {
        arguments.push_back("--timestamp");
        arguments.push_back(BorgTimestampOf(*request.time));
    }
    arguments.push_back(archiveOf(address, version.name));
    arguments.push_back(".");
    BorgCall call{address,
                  arguments,
                  passphrase,
                  request.folder,
                  progress,
                  cancel,
                  "The version " + version.name + " cannot be added to the repository " +
                      address.url};
    auto output = RunBorg(call);
    if (!output)
        return std::unexpected(output.error());
    auto made = VersionsOfBorgJson(output->json);
    if (!made || made->size() != 1)
        return Fail(call.what + ": borg did not say what it made.");
    version.time = made->front().time;
    version.originalBytes = made->front().originalBytes;
    version.addedBytes = made->front().addedBytes;
    return version;
}

Result<void> ExtractVersion(const RepositoryAddress& address, const std::string& passphrase,
                            const std::string& versionName, const std::string& destination,
                            const RepositoryProgressCallback& progress, const CancelToken* cancel) {
    BorgCall call{address,
                  {"extract", "--progress", archiveOf(address, versionName)},
                  passphrase,
                  destination,
                  progress,
                  cancel,
                  "The version " + versionName + " of the repository " + address.url +
                      " cannot be unpacked"};
    if (auto output = RunBorg(call); !output)
        return std::unexpected(output.error());
    return {};
}

} // namespace trelmig
