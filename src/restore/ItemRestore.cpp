#include "restore/ItemRestore.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "archive/ZipEntryNames.h"
#include "core/ProfileFileName.h"
#include "core/SettingsFile.h"
#include "outlook/ItemLocations.h"
#include "outlook/OutlookEnvironment.h"
#include "outlook/ProfilesKey.h"
#include "platform/SideFile.h"
#include "platform/Text.h"
#include "registry/RegistryBinary.h"
#include "registry/RegistryText.h"
#include "restore/DataFilesInUse.h"
#include "restore/RestoreJournal.h"
#include "restore/SourceFile.h"
#include "restore/StagedFiles.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <unistd.h>

namespace trelmig {

namespace {

constexpr const char* kServiceSection = "0a0d020000000000c000000000000046";

bool isBareName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos && name.find(':') == std::string::npos;
}

// A name as a message line shows it: a long one keeps its start and end.
std::string shownName(const std::string& name, std::size_t kShown = 120) {
    if (name.size() <= kShown)
        return name;
    std::size_t head = kShown / 2;
    while (head > 0 && (static_cast<unsigned char>(name[head]) & 0xC0) == 0x80)
        --head; // not inside a UTF-8 sequence
    std::size_t tail = name.size() - kShown / 2;
    while (tail < name.size() && (static_cast<unsigned char>(name[tail]) & 0xC0) == 0x80)
        ++tail;
    return name.substr(0, head) + "..." + name.substr(tail) + " (" + std::to_string(name.size()) +
           " characters)";
}

// Why a file cannot have that name in that host folder, if it cannot:
// checked for every file of an item before the first of them replaces
// anything.
std::optional<std::string> unfitFileName(const std::filesystem::path& folder,
                                         const std::string& name) {
    for (unsigned char c : name)
        if (c < 0x20 ||
            std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos)
            return "holds a character no Windows file name may hold";
    long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (nameMax <= 0)
        nameMax = 255;
    if (name.size() > static_cast<std::size_t>(nameMax))
        return "is longer than the " + std::to_string(nameMax) +
               " bytes a file name may have there";
    long pathMax = ::pathconf(folder.c_str(), _PC_PATH_MAX);
    if (pathMax <= 0)
        pathMax = 4096;
    if (folder.string().size() + 1 + name.size() >= static_cast<std::size_t>(pathMax))
        return "makes a path longer than the " + std::to_string(pathMax) + " bytes a path may have";
    return std::nullopt;
}

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// Extractions not flushed to disk one by one while it lives.
class NoFlushEachExtraction {
public:
    explicit NoFlushEachExtraction(ZipArchive& zip) : zip_(zip) {
        zip_.SetFlushEachExtraction(false);
    }
    ~NoFlushEachExtraction() { zip_.SetFlushEachExtraction(true); }
    NoFlushEachExtraction(const NoFlushEachExtraction&) = delete;
    NoFlushEachExtraction& operator=(const NoFlushEachExtraction&) = delete;

private:
    ZipArchive& zip_;
};

} // namespace

ItemRestore::ItemRestore(Environment& env, ZipArchive& zip, const InspectedArchive& archive)
    : env_(env), zip_(zip), archive_(archive) {}

Result<void> ItemRestore::guarded(const std::string& what,
                                  const std::function<Result<void>()>& body) {
    Result<void> done;
    // The steps answer Result; what throws below them (the registry files,
    // the undo record, the host's file system) ends here.
    try {
        done = body();
    } catch (const std::exception& e) {
        done = Fail(e.what());
    }
    if (done)
        return done;
    env_.registry.revert();
    // Reasons from below may name a file whole: a message line stays short.
    return Fail(shownName(what + ": " + done.error().message, 600));
}

Result<std::vector<std::string>> ItemRestore::entries(const std::string& itemKey) const {
    const auto it = archive_.entries.find(itemKey);
    if (it == archive_.entries.end() || it->second.empty())
        return Fail("the backup file names no entry for it");
    std::vector<std::string> names = splitEntryList(it->second);
    if (names.empty())
        return Fail("the backup file names no entry for it");
    // Entry names come from the backup file: only bare names may pass, so
    // nothing is ever written outside the destination folder.
    for (const std::string& name : names)
        if (!isBareName(name))
            return Fail("the backup file names an entry \"" + shownName(name) +
                        "\" that is not a plain file name; nothing was restored from it");
    return names;
}

Result<void> ItemRestore::ensureFolder(const std::string& folder) {
    if (env_.files.folderExists(folder))
        return {};
    const auto cut = folder.find_last_of('\\');
    if (cut == std::string::npos || cut < 3)
        return Fail("the folder " + folder + " cannot be created");
    if (auto parent = ensureFolder(folder.substr(0, cut)); !parent)
        return parent;
    if (journal_)
        journal_->beforeFolderCreated(folder);
    beforeCommit();
    if (!env_.files.createFolder(folder))
        return Fail("the folder " + folder + " cannot be created");
    return {};
}

Result<void> ItemRestore::extractInto(const std::vector<std::string>& names,
                                      const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    files.reserve(names.size());
    for (const auto& name : names)
        files.emplace_back(name, name);
    return extractFiles(files, folder);
}

Result<void>
ItemRestore::extractFiles(const std::vector<std::pair<std::string, std::string>>& files,
                          const std::string& folder) {
    StagedFiles staged;
    if (auto staging = stageFiles(files, folder, staged); !staging)
        return staging;
    beforeCommit();
    return staged.commit(retired_);
}

Result<void> ItemRestore::stageFiles(const std::vector<std::pair<std::string, std::string>>& files,
                                     const std::string& folder, StagedFiles& staged) {
    if (auto made = ensureFolder(folder); !made)
        return made;
    env_.files.removeStaleExtractions(folder);
    std::uintmax_t needed = 0;
    for (const auto& [entryName, fileName] : files) {
        const auto entry = zip_.GetEntry(entryName);
        if (!entry)
            return Fail("the backup file has no entry " + shownName(entryName));
        needed += entry->size;
    }
    // Room for the new files beside the old ones, which stay until all are in.
    const auto free = env_.files.freeSpace(folder);
    if (free && *free < needed)
        return Fail("not enough free space in " + folder + " (" + std::to_string(needed) +
                    " bytes needed, " + std::to_string(*free) + " free); nothing was changed");
    const auto targets = env_.files.folderForWriting(folder);
    if (!targets)
        return Fail("refusing to write into " + folder +
                    ": a link on its way leads out of the Windows drive; nothing was changed");
    // Every file is extracted beside its place first; the user's files are
    // replaced only once all of them are complete and on disk.
    NoFlushEachExtraction flushedTogether(zip_);
    std::vector<std::pair<std::string, std::string>> extractions;
    for (const auto& [entryName, fileName] : files) {
        if (const auto unfit = unfitFileName(targets->folder(), fileName))
            return Fail("the file name \"" + shownName(fileName) + "\" " + *unfit +
                        "; nothing was changed");
        const auto target = targets->fileFor(fileName);
        if (!target)
            return Fail("refusing to write " + folder + "\\" + shownName(fileName) +
                        ": it is a link or a folder; nothing was changed");
        if (journal_)
            journal_->beforeFileChange(*target);
        extractions.emplace_back(entryName, staged.add(*target).string());
    }
    if (const Result<void> extracted = zip_.ExtractEntriesTo(extractions); !extracted)
        return Fail(extracted.error().message + "; nothing was changed");
    return {};
}

void ItemRestore::beforeCommit() {
    if (journal_)
        journal_->beforeCommit();
}

Result<std::string> ItemRestore::extractToWorkFolder(const std::string& name) {
    std::string path = env_.session().programFolder + "/" + name;
    NoFlushEachExtraction scratch(zip_); // read back at once and never kept
    std::error_code ec;
    std::filesystem::remove(path, ec); // the archive writes over no file, not even a scratch one
    if (const Result<void> extracted = zip_.ExtractEntryTo(name, path); !extracted)
        return std::unexpected(extracted.error());
    return path;
}

Result<void> ItemRestore::saveRegistry() {
    beforeCommit();
    // A registry that cannot be saved stops the restore.
    return env_.reg.Save();
}

Result<void> ItemRestore::importRegistryItem(const std::string& itemKey,
                                             const std::string& targetKey, bool save) {
    // A key Outlook has not made yet (the options of an Outlook never
    // started, the accounts of a new profile) is made by the import.
    const auto names = entries(itemKey);
    if (!names)
        return std::unexpected(names.error());
    const auto file = extractToWorkFolder(names->front());
    if (!file)
        return std::unexpected(file.error());
    Result<void> imported;
    try {
        if (journal_)
            journal_->beforeKeyChange(targetKey);
        imported = ImportRegText(env_.reg, targetKey, *file, false);
    } catch (const RegistryTextError& e) {
        imported = Fail(std::string(e.what()) + "; the registry was left as it was");
    } catch (const std::exception& e) { // the journal's or the registry files'
        imported = Fail(e.what());
    }
    std::filesystem::remove(*file);
    if (imported && save)
        return saveRegistry();
    return imported;
}

Result<void> ItemRestore::restoreFolderItem(const std::string& itemKey, const std::string& folder) {
    const auto names = entries(itemKey);
    if (!names)
        return std::unexpected(names.error());
    return extractInto(*names, folder);
}

std::string ItemRestore::userFolder(const char* newWindows, const char* otherWindows) const {
    const bool roaming = RoamingFolder(env_.session()) == "\\AppData\\Roaming";
    return env_.session().userProfile + (roaming ? newWindows : otherWindows);
}

Result<void> ItemRestore::RestoreConfig(const std::string& profile) {
    return guarded("profile configuration", [&]() -> Result<void> {
        if (holdProfileConfiguration_) {
            // refused now if its name is
            if (const auto names = entries("BackupConfig"); !names)
                return std::unexpected(names.error());
            configurationHeld_ = true;
            return {};
        }
        const std::string key = env_.session().profilesKey + "\\" + profile;
        // Only a profile that exists (or was just made) takes a configuration.
        if (!env_.reg.RegKeyExists(key))
            return Fail("there is no profile \"" + profile + "\"; nothing was changed");
        return importRegistryItem("BackupConfig", key);
    });
}

void ItemRestore::HoldProfileConfiguration(bool hold) {
    holdProfileConfiguration_ = hold;
    configurationHeld_ = false;
}

Result<void> ItemRestore::RestoreAccounts(const std::string& profile) {
    const std::string key = AccountsKeyFor(env_.session(), profile);
    return guarded("accounts settings", [&]() -> Result<void> {
        if (auto imported = importRegistryItem("BackupAccounts", key, false); !imported)
            return imported;
        // The accounts deliver into the data files restored before them.
        ReplaceDataFilePathsBelow(env_.reg, key, movedDataFiles_);
        return saveRegistry();
    });
}

Result<void> ItemRestore::RestoreConfigsetting() {
    return guarded("options settings", [&]() -> Result<void> {
        return importRegistryItem("BackupConfigsetting",
                                  "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" +
                                      env_.session().outlookVersion + "\\Outlook\\Options");
    });
}

Result<void> ItemRestore::RestoreSignatures() {
    return guarded("signatures", [&]() -> Result<void> {
        const std::string folder = userFolder("\\AppData\\Roaming\\Microsoft\\Signatures",
                                              "\\Application Data\\Microsoft\\Signatures");
        if (auto restored = restoreFolderItem("BackupSignatures", folder); !restored)
            return restored;
        // The pictures of HTML signatures, "<folder>|<file>" entries, go back
        // into the folders beside the signatures that link to them.
        if (!archive_.hasInfoFile)
            return {};
        const std::string& list = archive_.signaturePictures;
        std::map<std::string, std::vector<std::pair<std::string, std::string>>> byFolder;
        for (const std::string& entry : splitEntryList(list)) {
            if (entry.empty())
                continue;
            const auto bar = entry.find(kFolderEntrySeparator);
            const std::string sub = entry.substr(0, bar);
            const std::string file = bar == std::string::npos ? "" : entry.substr(bar + 1);
            if (!isBareName(sub) || !isBareName(file) ||
                file.find(kFolderEntrySeparator) != std::string::npos)
                return Fail("the backup file names a signature picture \"" + entry +
                            "\" that is not a folder and a plain file name");
            byFolder[sub].emplace_back(entry, file);
        }
        for (const auto& [sub, files] : byFolder)
            if (auto extracted = extractFiles(files, folder + "\\" + sub); !extracted)
                return extracted;
        return {};
    });
}

Result<void> ItemRestore::RestoreStationery() {
    return guarded("stationeries", [&]() -> Result<void> {
        std::string folder =
            env_.session().userProfile + "\\Application Data\\Microsoft\\Stationery";
        if (IsOutlook2013OrLater(env_.session().outlookVersion)) {
            folder = env_.session().userProfile + "\\AppData\\Roaming\\Microsoft\\Stationery";
        } else if (IsNewOutlook(env_.session())) {
            const auto shared = env_.reg.ReadRegString(SharedToolsKey(env_.reg), "SharedFilesDir");
            if (!shared)
                return Fail("the shared files folder of Office is not registered");
            folder = TrimBlanks(shared->substr(0, shared->find('\0'))) + "Stationery";
        }
        return restoreFolderItem("BackupStationery", folder);
    });
}

Result<void> ItemRestore::RestoreTemplates() {
    return guarded("templates", [&]() -> Result<void> {
        return restoreFolderItem("BackupTemplates",
                                 userFolder("\\AppData\\Roaming\\Microsoft\\Templates",
                                            "\\Application Data\\Microsoft\\Templates"));
    });
}

Result<void> ItemRestore::RestoreSetting() {
    return guarded("preferences", [&]() -> Result<void> {
        return restoreFolderItem("BackupSetting",
                                 userFolder("\\AppData\\Roaming\\Microsoft\\Outlook",
                                            "\\Application Data\\Microsoft\\Outlook"));
    });
}

Result<void> ItemRestore::RestoreRules(const std::string& profile) {
    return guarded("rules", [&]() -> Result<void> {
        const std::string folder = userFolder("\\AppData\\Roaming\\Microsoft\\Outlook",
                                              "\\Application Data\\Microsoft\\Outlook");
        const auto names = entries("BackupRules");
        if (!names)
            return std::unexpected(names.error());
        // The rules file is named after the profile it belongs to; it is
        // written under that name at once, so the rules file of the profile
        // the backup came from, lying in the same folder, stays untouched.
        const auto wanted = ProfileFileName(profile, ".RWZ");
        if (!wanted)
            return Fail("the profile name \"" + profile +
                        "\" cannot be part of a file name; nothing was changed");
        const std::string fileName =
            upper(names->front()) == upper(*wanted) ? names->front() : *wanted;
        return extractFiles({{names->front(), fileName}}, folder);
    });
}

Result<ItemRestore::PlannedFiles> ItemRestore::plannedDataFiles(const std::string& itemKey,
                                                                const std::string& profile) {
    const auto names = entries(itemKey);
    if (!names)
        return std::unexpected(names.error());
    // Outlook 2013 and later keep .pst and .ost files in different folders.
    std::map<std::string, std::vector<std::string>> byFolder;
    for (const auto& name : *names)
        byFolder[DataFileFolderFor(env_.session(), env_.reg, name)].push_back(name);
    // A data file another profile of the prefix names is never written
    // over: the restored one gets a free name beside it.
    const DataFilesInUse inUse(env_, profile);
    PlannedFiles planned;
    for (const auto& [folder, inFolder] : byFolder) {
        const auto hostFolder = env_.files.hostPath(folder);
        for (const auto& name : inFolder)
            planned[folder].emplace_back(
                name, hostFolder ? inUse.freeName(*hostFolder, name, profile) : name);
    }
    return planned;
}

std::vector<std::string> ItemRestore::DataFilesReplaced(const std::string& profile,
                                                        bool personalFolders, bool addressBook) {
    std::vector<std::string> replaced;
    for (const auto& [itemKey, chosen] :
         {std::pair{"BackupDatas", personalFolders}, std::pair{"BackupPab", addressBook}}) {
        if (!chosen || !archive_.entries.contains(itemKey))
            continue;
        // An item that cannot be restored replaces nothing; the restore
        // itself says why.
        try {
            const auto planned = plannedDataFiles(itemKey, profile);
            if (!planned)
                continue;
            for (const auto& [folder, files] : *planned)
                for (const auto& [entryName, fileName] : files)
                    if (env_.files.fileExists(folder + "\\" + fileName))
                        replaced.push_back(folder + "\\" + fileName);
        } catch (const std::exception&) {
        }
    }
    return replaced;
}

Result<void> ItemRestore::restoreProfileFiles(const std::string& itemKey,
                                              const std::string& profile,
                                              const RewriteSection& rewriteSection) {
    // The profile configuration held back goes with the data files: if they
    // cannot be put in place, the profile keeps naming its own.
    const bool withConfiguration = configurationHeld_;
    configurationHeld_ = false;
    // Files restored beside another profile's carry the profile's name.
    if (!ProfileFileName(profile, ""))
        return Fail("the profile name \"" + profile +
                    "\" cannot be part of a file name; nothing was changed");
    const std::string key = env_.session().profilesKey + "\\" + profile;
    if (journal_)
        journal_->beforeKeyChange(key);
    // The configuration is decrypted, checked and imported (unsaved) before
    // the first data file is replaced: a damaged one changes nothing.
    if (withConfiguration)
        if (auto imported = importRegistryItem("BackupConfig", key, false); !imported)
            return imported;
    const auto planned = plannedDataFiles(itemKey, profile);
    if (!planned)
        return std::unexpected(planned.error());
    std::map<std::string, std::string> restoredNames; // upper-cased entry name -> file name
    // All of them are extracted before the first replaces anything.
    StagedFiles staged;
    for (const auto& [folder, files] : *planned) {
        for (const auto& [entryName, fileName] : files)
            restoredNames[upper(entryName)] = fileName;
        if (auto staging = stageFiles(files, folder, staged); !staging)
            return staging;
    }
    beforeCommit();
    if (auto committed = staged.commit(retired_); !committed)
        return committed;
    const auto sections = env_.reg.EnumRegSubkeys(key);
    if (sections.empty())
        return Fail("the profile " + profile + " has no sections");
    // The paths written into the profile are ones Wine can open.
    const auto newPathOf = [&](const std::string& fileName) {
        const std::string folder = DataFileFolderFor(env_.session(), env_.reg, fileName);
        const auto renamed = restoredNames.find(upper(fileName));
        return env_.files.canonicalPath(folder).value_or(folder) + "\\" +
               (renamed == restoredNames.end() ? fileName : renamed->second);
    };
    for (const auto& section : sections)
        if (auto rewritten = rewriteSection(key + "\\" + section, newPathOf); !rewritten)
            return rewritten;
    return {};
}

Result<void> ItemRestore::RestoreDatas(const std::string& profile) {
    return guarded("personal folders", [&]() -> Result<void> {
        std::vector<MovedDataFile> moved;
        const auto rewrite = [&](const std::string& sectionKey,
                                 const NewPathOf& newPathOf) -> Result<void> {
            const auto storePath = ReadStorePath(env_.reg, sectionKey);
            if (!storePath)
                return {};
            const std::string& oldPath = *storePath;
            const std::string newPath = newPathOf(BareName(oldPath));
            if (auto deleted = env_.reg.DeleteRegValue(sectionKey, "001e6700"); !deleted)
                return deleted;
            for (const char* value : {"01020fff", "001f6700"})
                if (auto replaced =
                        ReplaceInRegBinary(env_.reg, sectionKey, value, oldPath, newPath);
                    !replaced)
                    return replaced;
            if (oldPath != newPath)
                moved.push_back({oldPath, newPath});
            return {};
        };
        if (auto restored = restoreProfileFiles("BackupDatas", profile, rewrite); !restored)
            return restored;
        const std::string key = env_.session().profilesKey + "\\" + profile;
        const std::string services = key + "\\" + kServiceSection;
        for (const char* value : {"1102039b", "001e023d"})
            if (auto deleted = env_.reg.DeleteRegValue(services, value); !deleted)
                return deleted;
        // Accounts and other sections carry store entry identifiers of their
        // own ("Delivery Store EntryID"): they name the restored files too.
        ReplaceDataFilePathsBelow(env_.reg, key, moved);
        const std::string accounts = AccountsKeyFor(env_.session(), profile);
        if (journal_)
            journal_->beforeKeyChange(accounts);
        ReplaceDataFilePathsBelow(env_.reg, accounts, moved);
        if (auto saved = saveRegistry(); !saved)
            return saved;
        movedDataFiles_ = std::move(moved);
        const auto favoritesName = ProfileFileName(profile, ".FAV");
        if (!favoritesName)
            return Fail("the profile name \"" + profile + "\" cannot be part of a file name");
        const std::string favorites = env_.session().userProfile +
                                      "\\Application Data\\Microsoft\\Outlook\\" + *favoritesName;
        const auto host = env_.files.hostPath(favorites);
        if (journal_ && host && env_.files.fileExists(favorites))
            journal_->beforeFileChange(*host);
        beforeCommit();
        if (env_.files.fileExists(favorites) && !env_.files.deleteFile(favorites))
            return Fail("cannot delete " + favorites);
        return {};
    });
}

Result<void> ItemRestore::RestorePab(const std::string& profile) {
    return guarded("personal address book", [&]() -> Result<void> {
        const auto rewrite = [&](const std::string& sectionKey,
                                 const NewPathOf& newPathOf) -> Result<void> {
            const auto old = env_.reg.ReadRegString(sectionKey, "001e6600");
            if (!old)
                return {};
            const auto cut = old->find_last_of('\\');
            if (cut == std::string::npos)
                return Fail("the address book path \"" + *old + "\" names no folder");
            return env_.reg.WriteRegString(sectionKey, "001e6600", newPathOf(old->substr(cut + 1)));
        };
        if (auto restored = restoreProfileFiles("BackupPab", profile, rewrite); !restored)
            return restored;
        return saveRegistry();
    });
}

namespace {

using RestoreOperation = Result<void> (*)(ItemRestore&, const std::string& profile);

// The operation of each item record, at the record's index.
constexpr std::array<std::pair<std::string_view, RestoreOperation>, kItemRecordCount>
    kRestoreOperations = {{
        {"BackupConfig", [](ItemRestore& r, const std::string& p) { return r.RestoreConfig(p); }},
        {"BackupDatas", [](ItemRestore& r, const std::string& p) { return r.RestoreDatas(p); }},
        {"BackupRules", [](ItemRestore& r, const std::string& p) { return r.RestoreRules(p); }},
        {"BackupAccounts",
         [](ItemRestore& r, const std::string& p) { return r.RestoreAccounts(p); }},
        {"BackupSignatures",
         [](ItemRestore& r, const std::string&) { return r.RestoreSignatures(); }},
        {"BackupStationery",
         [](ItemRestore& r, const std::string&) { return r.RestoreStationery(); }},
        {"BackupPab", [](ItemRestore& r, const std::string& p) { return r.RestorePab(p); }},
        {"BackupConfigsetting",
         [](ItemRestore& r, const std::string&) { return r.RestoreConfigsetting(); }},
        {"BackupTemplates",
         [](ItemRestore& r, const std::string&) { return r.RestoreTemplates(); }},
        {"BackupSetting", [](ItemRestore& r, const std::string&) { return r.RestoreSetting(); }},
    }};
static_assert(OperationsMatchRecords(kRestoreOperations),
              "one restore operation per item record, in the records' order");

} // namespace

Result<void> ItemRestore::Run(const ItemRecord& record, const std::string& profile) {
    return kRestoreOperations[RecordIndex(record)].second(*this, profile);
}

} // namespace trelmig
