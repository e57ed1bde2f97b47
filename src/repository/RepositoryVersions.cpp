#include "repository/BorgArchiveJson.h"
#include "repository/BorgCommand.h"
#include "repository/BorgLogLine.h"
#include "repository/Repository.h"

#include "platform/UnfinishedWork.h"

#include <algorithm>
#include <ctime>

namespace trelmig {

namespace {

std::string archiveOf(const RepositoryAddress& address, const std::string& versionName) {
    return address.url + "::" + versionName;
}

// Every archive of the repository with sizes and comments; borg leaves
// checkpoints out.
Result<std::vector<RepositoryVersion>> allArchives(const RepositoryAddress& address,
                                                   const std::string& passphrase,
                                                   const std::string& glob) {
    const auto call =
        MakeBorgCall(address, {"info", "--json", "--glob-archives", glob, address.url}, passphrase,
                     "The versions of the repository " + address.url + " cannot be listed");
    auto output = RunBorg(call);
    if (!output)
        return std::unexpected(output.error());
    auto versions = VersionsOfBorgJson(output->json);
    if (!versions)
        return Fail(call.what + ": " + versions.error().message);
    return versions;
}

// What notes that a run of the source is making a version in the repository.
std::string makingNote(const RepositoryAddress& address, const std::string& sourceName) {
    return "borg create " + address.url + " " + sourceName;
}

// Removes the checkpoints a stopped run of the source left behind.
Result<void> removeCheckpoints(const RepositoryAddress& address, const std::string& passphrase,
                               const std::string& sourceName,
                               const RepositoryProgressCallback& progress) {
    auto list = MakeBorgCall(address,
                             {"list", "--json", "--consider-checkpoints", "--glob-archives",
                              sourceName + "-*", address.url},
                             passphrase,
                             "The versions of the repository " + address.url + " cannot be listed");
    list.progress = progress;
    auto listed = RunBorg(list);
    if (!listed)
        return std::unexpected(listed.error());
    auto archives = VersionsOfBorgJson(listed->json);
    if (!archives)
        return Fail(list.what + ": " + archives.error().message);
    std::vector<std::string> arguments = {"delete", address.url};
    for (const auto& archive : *archives)
        if (IsCheckpointName(archive.name))
            arguments.push_back(archive.name);
    if (arguments.size() == 2)
        return {};
    auto call =
        MakeBorgCall(address, arguments, passphrase,
                     "The checkpoints a stopped run left in " + address.url + " cannot be removed");
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
    // Names and times only: borg reads the manifest, not every version.
    const auto call =
        MakeBorgCall(address, {"list", "--json", address.url}, passphrase,
                     "The versions of the repository " + address.url + " cannot be listed");
    auto output = RunBorg(call);
    if (!output)
        return std::unexpected(output.error());
    auto versions = VersionsOfBorgJson(output->json);
    if (!versions)
        return Fail(call.what + ": " + versions.error().message);
    std::stable_sort(versions->begin(), versions->end(),
                     [](const auto& a, const auto& b) { return a.time < b.time; });
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
    // Only a run that never finished leaves checkpoints (borg removes a run's
    // own when it ends): looking for them costs a borg call, so only then.
    const std::string note = makingNote(address, source);
    if (UnfinishedWorkLeft(note))
        if (auto cleaned = removeCheckpoints(address, passphrase, source, progress); !cleaned)
            return std::unexpected(cleaned.error());
    NoteWorkBegins(note);

    RepositoryVersion version;
    version.computer = request.computer;
    version.prefix = request.prefix;
    version.profile = request.profile;
    version.items = request.items;
    version.name =
        RepositoryVersionName(source, request.time.value_or(LocalVersionTime(std::time(nullptr))));
    std::vector<std::string> arguments = {
        "create", "--json", "--progress", "--chunker-params", kChunkerParams, "--compression",
        kCompression, "--comment", VersionComment(version),
        // A file borg stored before is known by its modification time: the
        // change time moves each time a run links it into its folder.
        "--files-cache", "mtime,size,inode"};
    if (request.time) {
        arguments.push_back("--timestamp");
        arguments.push_back(BorgTimestampOf(*request.time));
    }
    std::string input;
    if (!request.entries.empty()) {
        arguments.push_back("--paths-from-stdin");
        for (const auto& entry : request.entries)
            input += entry + "\n";
    }
    arguments.push_back(archiveOf(address, version.name));
    if (request.entries.empty())
        arguments.push_back(".");
    auto call = MakeBorgCall(address, arguments, passphrase,
                             "The version " + version.name + " cannot be added to the repository " +
                                 address.url);
    call.workingFolder = request.folder;
    call.input = std::move(input);
    if (progress)
        call.progress = [&progress, total = request.totalBytes](const RepositoryProgress& p) {
            RepositoryProgress counted = p;
            counted.totalBytes = total;
            progress(counted);
        };
    call.cancel = cancel;
    auto output = RunBorg(call);
    if (!output)
        return std::unexpected(output.error());
    // borg create ends with the warning status when it left a file out (one it
    // could not read): the version would look whole and miss it.
    if (output->warned) {
        std::string said;
        for (const BorgLogLine& line : output->messages)
            if (line.kind == BorgLogLine::Kind::Message &&
                (line.level == "WARNING" || line.level == "ERROR"))
                said += (said.empty() ? "" : "; ") + line.message;
        return Fail(call.what + ": borg could not store every file" +
                    (said.empty() ? std::string() : " (" + said + ")") + "; the version " +
                    version.name + " lacks them, so back up again.");
    }
    NoteWorkFinished(note);
    auto made = VersionsOfBorgJson(output->json);
    if (!made || made->size() != 1)
        return Fail(call.what + ": borg did not say what it made.");
    version.time = made->front().time;
    version.originalBytes = made->front().originalBytes;
    version.addedBytes = made->front().addedBytes;
    return version;
}

Result<void> DeleteVersion(const RepositoryAddress& address, const std::string& passphrase,
                           const std::string& versionName) {
    const auto call =
        MakeBorgCall(address, {"delete", archiveOf(address, versionName)}, passphrase,
                     "The version " + versionName + " cannot be removed from " + address.url);
    if (auto done = RunBorg(call); !done)
        return std::unexpected(done.error());
    return {};
}

Result<std::vector<std::string>> VersionEntries(const RepositoryAddress& address,
                                                const std::string& passphrase,
                                                const std::string& versionName) {
    auto call =
        MakeBorgCall(address, {"list", "--json-lines", archiveOf(address, versionName)}, passphrase,
                     "The files of the version " + versionName + " of the repository " +
                         address.url + " cannot be listed");
    auto output = RunBorg(call);
    if (!output)
        return std::unexpected(output.error());
    auto entries = FilesOfBorgJsonLines(output->json);
    if (!entries)
        return Fail(call.what + ": " + entries.error().message);
    return entries;
}

Result<void> ExtractVersion(const RepositoryAddress& address, const std::string& passphrase,
                            const std::string& versionName, const std::string& destination,
                            const RepositoryProgressCallback& progress, const CancelToken* cancel) {
    auto call = MakeBorgCall(
        address, {"extract", "--progress", archiveOf(address, versionName)}, passphrase,
        "The version " + versionName + " of the repository " + address.url + " cannot be unpacked");
    call.workingFolder = destination;
    call.progress = progress;
    call.cancel = cancel;
    if (auto output = RunBorg(call); !output)
        return std::unexpected(output.error());
    return {};
}

} // namespace trelmig
