#include "backup/BackupRun.h"

#include "app/Environment.h"
#include "archive/ArchiveVerify.h"
#include "archive/ZipArchive.h"
#include "archive/ZipWriteTarget.h"
#include "backup/ItemBackup.h"
#include "core/CancelToken.h"
#include "core/CompletionLog.h"
#include "core/SettingsFile.h"
#include "outlook/ItemLocations.h"
#include "platform/HashedName.h"
#include "platform/PointInTimeCopy.h"
#include "platform/StagingFolder.h"
#include "platform/StateFolder.h"
#include "platform/Text.h"
#include "registry/RegionalFormat.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace trelmig {

std::string EncodeDescription(const std::string& text) {
    return ReplaceAll(text, "\r\n", "QX$ZRM");
}

std::string PartialArchiveName(const std::string& targetFile) {
    const auto slash = targetFile.find_last_of('/');
    const auto dot = targetFile.find_last_of('.');
    std::string stem = targetFile;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) {
        std::string extension = targetFile.substr(dot);
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (extension == ".kvx")
            stem = targetFile.substr(0, dot);
    }
    return stem + ".partial.kvx";
}

namespace {

// The completion line of a chosen item that the profile does not have.
std::string absentLine(const ItemRecord& step, const ItemState& state) {
    if (state.toolTip == kNoAddressBookToolTip)
        return "\r\n" + std::string(step.backupLogName) + std::string(step.backupLogSeparator) +
               "not used by this Outlook\t";
    return "\r\n" + std::string(step.backupLogName) + std::string(step.backupLogSeparator) +
           "nothing to back up\t" + ReasonLine(state.reason);
}

std::string absentReason(const ItemState& state) {
    return state.toolTip == kNoAddressBookToolTip ? "not used by this Outlook" : state.reason;
}

// The new archive is itself written through a file beside it
// ("..<name>.trelmig-XXXXXX.trelmig-..."): a run killed then leaves that
// behind, and no later run would recognise it by the name of its own new
// archive. Called while the place's lock is held, so none is in use.
void removeLeftoversOfNewArchives(const std::string& place) {
    const std::filesystem::path target(place);
    const std::string start = "." + ZipWriteTarget::sidePrefix(target.filename().string());
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), ec))
        if (entry.path().filename().string().starts_with(start) && entry.is_regular_file(ec) &&
            !entry.is_symlink(ec))
            std::filesystem::remove(entry.path(), ec);
}

// What reading the new archive back through the restore's read path found
// wrong with it; nullopt when it is sound. A cancel stops the read.
std::optional<std::string> readBackProblem(const std::string& archive, const ZipFileList& files,
                                           const BackupRequest& request, const AnsiCodec& ansi,
                                           const BackupHooks& hooks) {
    VerifyBytes read;
    if (hooks.verifying) {
        std::map<std::string, std::string> shown;
        for (const ZipQueuedFile& file : files.Files())
            shown.emplace(file.name, file.shownName());
        read = [&hooks, shown = std::move(shown), cancel = request.cancel](
                   const std::string& entry, std::uint64_t done, std::uint64_t total) {
            const auto name = shown.find(entry);
            hooks.verifying(name == shown.end() ? entry : name->second, done, total);
            return !CancelRequested(cancel);
        };
    }
    const ArchiveVerdict verdict = VerifyArchive(archive, request.password, ansi, read);
    if (verdict.state == ArchiveVerdict::State::Sound)
        return std::nullopt;
    return verdict.entry.empty() ? verdict.reason : verdict.entry + ": " + verdict.reason;
}

// Writes the archive beside its place, has it verified and renames it into
// place; on any failure the file at the place stays as it was.
void writeInPlace(ZipArchive& zip, const ZipFileList& files, const BackupRequest& request,
                  const AnsiCodec& ansi, const BackupHooks& hooks, const std::string& place,
                  BackupRunResult& outcome) {
    ZipWriteTarget placement(place);
    if (const Result<void> begun = placement.begin(); !begun)
        throw std::runtime_error(begun.error().message);
    removeLeftoversOfNewArchives(place);
    if (const Result<void> written = zip.WriteZip(placement.tempPath(), files, request.password);
        !written)
        throw std::runtime_error(written.error().message);
    if (CancelRequested(request.cancel))
        throw std::runtime_error("the backup was cancelled");
    const auto why = request.verifyArchive
                         ? request.verifyArchive(placement.tempPath(), request.password)
                         : readBackProblem(placement.tempPath(), files, request, ansi, hooks);
    if (CancelRequested(request.cancel))
        throw std::runtime_error("the backup was cancelled");
    if (why)
        throw std::runtime_error("the new backup file did not pass its check (" + *why +
                                 "); it was removed");
    if (const Result<void> committed = placement.commit(); !committed)
        throw std::runtime_error(committed.error().message);
    outcome.archivePath = place;
}

std::string prefixFolderName(const Environment& env) {
    std::filesystem::path root = env.prefix.root();
    if (root.filename().empty())
        root = root.parent_path();
    return root.filename().string();
}

// borg knows a file it stored before by its path, inode, size and
// modification time, and does not read it again: staged at the same place
// each run (in the cache folder, where the data files' own disk usually
// is), a data file that did not change costs nothing. A second run of the
// same source at the same time, or no cache folder, stages in the run's own
// work folder instead.
std::unique_ptr<StagingFolder> stagingFolderOf(const Session& s, const std::string& source) {
    if (const auto cache = ProgramCacheFolder())
        if (auto shared = StagingFolder::TakeShared(*cache / "versions" / HashedName(source)))
            return shared;
    return std::make_unique<StagingFolder>(std::filesystem::path(s.programFolder) / "version");
}

// A data file read in place: linked into the staging folder, borg reads it
// while Outlook may write it, so it must be the same before and after.
struct WatchedFile {
    std::string source, name;
    FileMoment before;
};

// Lays the archive's entries out in a folder of the work folder, under their
// entry names, and has borg make a version of them in that order. Data files
// are linked as they are (no copy to write and read back); if one of them
// changed while borg read it, that version goes and is made again from
// point-in-time copies of those that changed.
void writeVersion(Environment& env, const ZipFileList& files,
                  const std::vector<std::string>& inPlace, const BackupRequest& request,
                  BackupRunResult& outcome) {
    const RepositoryTarget& target = *request.repository;
    const Session& s = env.session();
    VersionRequest version;
    version.computer = target.computer.empty() ? s.computerName : target.computer;
    version.prefix = target.prefix.empty() ? prefixFolderName(env) : target.prefix;
    version.profile = request.profile;
    const std::unique_ptr<StagingFolder> staged = stagingFolderOf(
        s, target.address.url + "\n" +
               RepositorySourceName(version.computer, version.prefix, version.profile));
    StagingFolder& staging = *staged;
    std::vector<WatchedFile> watched;
    for (const ZipQueuedFile& file : files.Files()) {
        const bool linked = staging.add(file.path, file.name);
        version.entries.push_back(file.name);
        if (linked && std::ranges::find(inPlace, file.path) != inPlace.end())
            watched.push_back({file.path, file.name, {}});
    }
    // Taken after every link is made: a link moves the file's change time.
    for (WatchedFile& file : watched)
        file.before = FileMomentOf(staging.path() / file.name);
    version.folder = staging.path().string();
    version.items = target.items;
    version.time =
        VersionTime{request.time.tm_year + 1900, request.time.tm_mon + 1, request.time.tm_mday,
                    request.time.tm_hour,        request.time.tm_min,     request.time.tm_sec};
    version.totalBytes = outcome.gatheredBytes;
    auto made =
        CreateVersion(target.address, target.passphrase, version, target.progress, request.cancel);
    if (!made)
        throw std::runtime_error(made.error().message);
    std::vector<const WatchedFile*> changed;
    for (const WatchedFile& file : watched)
        if (FileMomentOf(staging.path() / file.name) != file.before)
            changed.push_back(&file);
    if (!changed.empty()) {
        if (const auto removed = DeleteVersion(target.address, target.passphrase, made->name);
            !removed)
            throw std::runtime_error(changed.front()->source +
                                     " was written while it was read, and the version " +
                                     made->name +
                                     " that may hold it half-written cannot be "
                                     "removed: " +
                                     removed.error().message);
        for (const WatchedFile* file : changed)
            staging.replaceWithCopy(file->source, file->name);
        made = CreateVersion(target.address, target.passphrase, version, target.progress,
                             request.cancel);
        if (!made)
            throw std::runtime_error(made.error().message);
    }
    outcome.versionName = made->name;
    outcome.archivePath = target.address.url + "::" + made->name;
    outcome.archiveBytes = made->addedBytes;
}

// A complete archive now at the target makes the partial one an earlier run
// set aside beside it stale. It is removed under its own lock, so that a run
// writing it at this moment is left alone.
void removeStalePartial(const std::string& target) {
    const std::string partial = PartialArchiveName(target);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(partial, ec)))
        return;
    ZipWriteTarget place(partial);
    if (place.begin())
        std::filesystem::remove(partial, ec);
}

// The information file's first lines: where, when and what from.
void writeInfoHeader(Environment& env, const BackupRequest& request) {
    const Session& s = env.session();
    const std::pair<const char*, std::string> header[] = {
        {"BackupComputer", s.computerName},
        {"BackupLogonUser", s.logonUser},
        {"BackupIdentity", request.profile},
        {"BackupTime", DefaultDateTimeText(request.time, ReadRegionalFormat(env.reg))},
        {"Outlookversion", request.outlookDisplayName},
        {"BackupInformation", EncodeDescription(request.description)},
    };
    for (const auto& [key, value] : header)
        SaveINI(key, value, s.infoFile, env.ansi);
}

// Runs one record's operation when the profile has the item, and notes in
// outcome what became of it.
void gatherRecord(const ItemRecord& record, const ItemSelection& present,
                  const BackupRequest& request, const ItemStates& states, ItemBackup& items,
                  const BackupHooks& hooks, BackupRunResult& outcome) {
    const std::size_t index = RecordIndex(record);
    const bool runs = RecordRuns(record, present);
    const bool logged = !record.backupLogName.empty();
    const ItemState& state = states[static_cast<std::size_t>(record.boxes[0])];
    bool ok = false;
    if (runs) {
        if (hooks.stepStarting)
            hooks.stepStarting(record);
        const Result<void> gathered = items.Run(record, request.profile);
        ok = gathered.has_value();
        const std::string reason = ok ? std::string() : gathered.error().message;
        if (!ok && !record.inOutlook2007AndLater && !state.enabled) {
            outcome.absent[index] = absentReason(state);
            outcome.log += absentLine(record, state);
        } else if (!ok) {
            outcome.failures[index] = reason;
        }
        if (logged && outcome.absent[index].empty()) {
            outcome.log +=
                CompletionLine(record.backupLogName, record.backupLogSeparator, ok, reason);
            (ok ? outcome.itemsDone : outcome.itemsFailed).push_back(index);
        }
    } else if (logged && RecordRuns(record, request.items)) {
        outcome.absent[index] = absentReason(state);
        outcome.log += absentLine(record, state);
    }
    if (!outcome.absent[index].empty())
        outcome.itemsSkipped.push_back(index);
    outcome.flags += ok ? '1' : '0';
    if (hooks.addProgress)
        hooks.addProgress((runs ? record.progressWhenRun : 0) + record.progressAfter);
}

std::uint64_t bytesOf(const ZipFileList& files) {
    std::uint64_t total = 0;
    std::error_code ec;
    for (const ZipQueuedFile& file : files.Files())
        if (const auto size = std::filesystem::file_size(file.path, ec); !ec)
            total += size;
    return total;
}

// Gathers the chosen items the profile has and writes the archive; throws
// when no archive was written.
void gatherAndWrite(Environment& env, ZipArchive& zip, const BackupRequest& request,
                    const BackupHooks& hooks, BackupRunResult& outcome) {
    const Session& s = env.session();
    // Every location that depends on the profile (its accounts above all) is
    // the named profile's, whoever selected one before.
    const ProfileItems profileItems = env.ItemsOf(request.profile);
    const ItemStates& states = profileItems.states;
    // An item whose source is missing is not gathered. The address book is
    // looked for all the same: Outlook 2007 and 2010 still read one a
    // profile names from earlier days.
    ItemSelection present = request.items;
    for (std::size_t i = 0; i < present.size(); ++i)
        present[i] =
            present[i] && (states[i].enabled || i == static_cast<std::size_t>(ItemAddressBook));
    writeInfoHeader(env, request);

    ZipFileList files(hooks.fileAdding);
    ItemBackup items(s, profileItems.locations, env.reg, env.files, env.ansi, files);
    items.SetCancel(request.cancel);
    if (request.repository)
        items.ListDataFilesInPlace();
    for (const ItemRecord& record : kItemRecords) {
        if (CancelRequested(request.cancel))
            throw std::runtime_error("the backup was cancelled");
        gatherRecord(record, present, request, states, items, hooks, outcome);
    }
    SaveINI("BackupItem", outcome.flags, s.infoFile, env.ansi);
    // An archive without its information file cannot be restored.
    if (!files.AddFile(s.infoFile, kInfoFileShown))
        throw std::runtime_error("the information file " + s.infoFile +
                                 " cannot be added to the backup file");
    outcome.gatheredBytes = bytesOf(files);
    if (request.repository) {
        // Earlier versions stay whatever this one holds.
        writeVersion(env, files, items.InPlaceFiles(), request, outcome);
        return;
    }
    // An archive missing items that exist never replaces an earlier one.
    std::string place = request.targetFile;
    std::error_code ec;
    if (outcome.Partial() && std::filesystem::exists(request.targetFile, ec)) {
        place = PartialArchiveName(request.targetFile);
        outcome.keptEarlier = true;
    }
    writeInPlace(zip, files, request, env.ansi, hooks, place, outcome);
    if (!outcome.Partial())
        removeStalePartial(place);
    outcome.archiveBytes = std::filesystem::file_size(place, ec);
}

} // namespace

BackupRunResult PerformBackup(Environment& env, ZipArchive& zip, const BackupRequest& request,
                              const BackupHooks& hooks) {
    BackupRunResult outcome;
    outcome.started = true;
    std::error_code ec;
    std::filesystem::remove(env.session().infoFile, ec);
    // The information file lives in the work folder: if it cannot be written
    // the archive is never written either, and the previous one stays.
    try {
        gatherAndWrite(env, zip, request, hooks, outcome);
        outcome.written = true;
    } catch (const std::exception& e) {
        outcome.written = false;
        outcome.keptEarlier = false;
        outcome.writeError = e.what();
    }
    outcome.cancelled = !outcome.written && CancelRequested(request.cancel);
    zip.CloseZip();
    std::filesystem::remove(env.session().infoFile, ec);
    return outcome;
}

} // namespace trelmig
