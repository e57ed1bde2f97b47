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
#include <stdexcept>
#include <unistd.h>

namespace trelmig {

// A failure of the archive or of the registry files, as opposed to one of
// the item itself.
class ItemRestore::Failure : public std::runtime_error {
public:
    Failure(const std::string& what, bool hard) : std::runtime_error(what), hard(hard) {}
    bool hard;
};

namespace {

constexpr const char* kServiceSection = "0a0d020000000000c000000000000046";

// A registry change of an item that did not take fails the item.
void orFail(const Result<void>& changed) {
    if (!changed)
        throw std::runtime_error(changed.error().message);
}

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

// Why a file cannot have that name in that host folder, or empty: checked
// for every file of an item before the first of them replaces anything.
std::string unfitFileName(const std::filesystem::path& folder, const std::string& name) {
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
    return {};
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

bool ItemRestore::guarded(const std::string& what, const std::function<void()>& body) {
    lastError_.clear();
    hardFailure_ = false;
    try {
        body();
        return true;
    } catch (const Failure& f) {
        lastError_ = what + ": " + f.what();
        hardFailure_ = f.hard;
    } catch (const RegistryError& e) {
        lastError_ = what + ": " + e.what();
        hardFailure_ = true;
    } catch (const std::exception& e) {
        lastError_ = what + ": " + e.what();
    }
    // Reasons from below may name a file whole: a message line stays short.
    lastError_ = shownName(lastError_, 600);
    env_.registry.revert();
    return false;
}

std::vector<std::string> ItemRestore::entries(const std::string& itemKey) const {
    const auto it = archive_.entries.find(itemKey);
    if (it == archive_.entries.end() || it->second.empty())
        throw Failure("the backup file names no entry for it", false);
    std::vector<std::string> names = splitEntryList(it->second);
    if (names.empty())
        throw Failure("the backup file names no entry for it", false);
    // Entry names come from the backup file: only bare names may pass, so
    // nothing is ever written outside the destination folder.
    for (const std::string& name : names)
        if (!isBareName(name))
            throw Failure("the backup file names an entry \"" + shownName(name) +
                              "\" that is not a plain file name; nothing was restored from it",
                          true);
    return names;
}

void ItemRestore::ensureFolder(const std::string& folder) {
    if (env_.files.folderExists(folder))
        return;
    const auto cut = folder.find_last_of('\\');
    if (cut == std::string::npos || cut < 3)
        throw Failure("the folder " + folder + " cannot be created", false);
    ensureFolder(folder.substr(0, cut));
    if (journal_)
        journal_->beforeFolderCreated(folder);
    beforeCommit();
    if (!env_.files.createFolder(folder))
        throw Failure("the folder " + folder + " cannot be created", false);
}

void ItemRestore::extractInto(const std::vector<std::string>& names, const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    files.reserve(names.size());
    for (const auto& name : names)
        files.emplace_back(name, name);
    extractFiles(files, folder);
}

void ItemRestore::extractFiles(const std::vector<std::pair<std::string, std::string>>& files,
                               const std::string& folder) {
    StagedFiles staged;
    stageFiles(files, folder, staged);
    beforeCommit();
    staged.commit(retired_);
}

void ItemRestore::stageFiles(const std::vector<std::pair<std::string, std::string>>& files,
                             const std::string& folder, StagedFiles& staged) {
    ensureFolder(folder);
    env_.files.removeStaleExtractions(folder);
    std::uintmax_t needed = 0;
    for (const auto& [entryName, fileName] : files) {
        const auto entry = zip_.GetEntry(entryName);
        if (!entry)
            throw Failure("the backup file has no entry " + shownName(entryName), true);
        needed += entry->size;
    }
    // Room for the new files beside the old ones, which stay until all are in.
    const auto free = env_.files.freeSpace(folder);
    if (free && *free < needed)
        throw Failure("not enough free space in " + folder + " (" + std::to_string(needed) +
                          " bytes needed, " + std::to_string(*free) + " free); nothing was changed",
                      false);
    const auto targets = env_.files.folderForWriting(folder);
    if (!targets)
        throw Failure("refusing to write into " + folder +
                          ": a link on its way leads out of the Windows drive; nothing was changed",
                      false);
    // Every file is extracted beside its place first; the user's files are
    // replaced only once all of them are complete and on disk.
    NoFlushEachExtraction flushedTogether(zip_);
    std::vector<std::pair<std::string, std::string>> extractions;
    for (const auto& [entryName, fileName] : files) {
        if (const std::string unfit = unfitFileName(targets->folder(), fileName); !unfit.empty())
            throw Failure("the file name \"" + shownName(fileName) + "\" " + unfit +
                              "; nothing was changed",
                          false);
        const auto target = targets->fileFor(fileName);
        if (!target)
            throw Failure("refusing to write " + folder + "\\" + shownName(fileName) +
                              ": it is a link or a folder; nothing was changed",
                          false);
        if (journal_)
            journal_->beforeFileChange(*target);
        extractions.emplace_back(entryName, staged.add(*target).string());
    }
    if (const Result<void> extracted = zip_.ExtractEntriesTo(extractions); !extracted)
        throw Failure(extracted.error().message + "; nothing was changed", true);
}

void ItemRestore::beforeCommit() {
    if (journal_)
        journal_->beforeCommit();
}

std::string ItemRestore::extractToWorkFolder(const std::string& name) {
    std::string path = env_.session().programFolder + "/" + name;
    NoFlushEachExtraction scratch(zip_); // read back at once and never kept
    std::error_code ec;
    std::filesystem::remove(path, ec); // the archive writes over no file, not even a scratch one
    if (const Result<void> extracted = zip_.ExtractEntryTo(name, path); !extracted)
        throw Failure(extracted.error().message, true);
    return path;
}

void ItemRestore::saveRegistry() {
    beforeCommit();
    // A registry that cannot be saved stops the restore.
    if (auto saved = env_.reg.Save(); !saved)
        throw Failure(saved.error().message, true);
}

void ItemRestore::importRegistryItem(const std::string& itemKey, const std::string& targetKey,
                                     bool save) {
    // A key Outlook has not made yet (the options of an Outlook never
    // started, the accounts of a new profile) is made by the import.
    const std::string file = extractToWorkFolder(entries(itemKey).front());
    try {
        if (journal_)
            journal_->beforeKeyChange(targetKey);
        if (auto imported = ImportRegText(env_.reg, targetKey, file, false); !imported)
            throw Failure(imported.error().message, false);
    } catch (const RegistryTextError& e) {
        std::filesystem::remove(file);
        throw Failure(std::string(e.what()) + "; the registry was left as it was", false);
    } catch (...) {
        std::filesystem::remove(file);
        throw;
    }
    std::filesystem::remove(file);
    if (save)
        saveRegistry();
}

void ItemRestore::restoreFolderItem(const std::string& itemKey, const std::string& folder) {
    extractInto(entries(itemKey), folder);
}

std::string ItemRestore::userFolder(const char* newWindows, const char* otherWindows) const {
    const bool roaming = RoamingFolder(env_.session()) == "\\AppData\\Roaming";
    return env_.session().userProfile + (roaming ? newWindows : otherWindows);
}

bool ItemRestore::RestoreConfig(const std::string& profile) {
    return guarded("profile configuration", [&] {
        if (holdProfileConfiguration_) {
            entries("BackupConfig"); // refused now if its name is
            configurationHeld_ = true;
            return;
        }
        const std::string key = env_.session().profilesKey + "\\" + profile;
        // Only a profile that exists (or was just made) takes a configuration.
        if (!env_.reg.RegKeyExists(key))
            throw Failure("there is no profile \"" + profile + "\"; nothing was changed", false);
        importRegistryItem("BackupConfig", key);
    });
}

void ItemRestore::HoldProfileConfiguration(bool hold) {
    holdProfileConfiguration_ = hold;
    configurationHeld_ = false;
}

bool ItemRestore::RestoreAccounts(const std::string& profile) {
    const std::string key = AccountsKeyFor(env_.session(), profile);
    return guarded("accounts settings", [&] {
        importRegistryItem("BackupAccounts", key, false);
        // The accounts deliver into the data files restored before them.
        ReplaceDataFilePathsBelow(env_.reg, key, movedDataFiles_);
        saveRegistry();
    });
}

bool ItemRestore::RestoreConfigsetting() {
    return guarded("options settings", [&] {
        importRegistryItem("BackupConfigsetting",
                           "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" +
                               env_.session().outlookVersion + "\\Outlook\\Options");
    });
}

bool ItemRestore::RestoreSignatures() {
    return guarded("signatures", [&] {
        const std::string folder = userFolder("\\AppData\\Roaming\\Microsoft\\Signatures",
                                              "\\Application Data\\Microsoft\\Signatures");
        restoreFolderItem("BackupSignatures", folder);
        // The pictures of HTML signatures, "<folder>|<file>" entries, go back
        // into the folders beside the signatures that link to them.
        if (!archive_.hasInfoFile)
            return;
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
                throw Failure("the backup file names a signature picture \"" + entry +
                                  "\" that is not a folder and a plain file name",
                              true);
            byFolder[sub].emplace_back(entry, file);
        }
        for (const auto& [sub, files] : byFolder)
            extractFiles(files, folder + "\\" + sub);
    });
}

bool ItemRestore::RestoreStationery() {
    return guarded("stationeries", [&] {
        std::string folder =
            env_.session().userProfile + "\\Application Data\\Microsoft\\Stationery";
        if (IsOutlook2013OrLater(env_.session().outlookVersion)) {
            folder = env_.session().userProfile + "\\AppData\\Roaming\\Microsoft\\Stationery";
        } else if (IsNewOutlook(env_.session())) {
            const auto shared = env_.reg.ReadRegString(SharedToolsKey(env_.reg), "SharedFilesDir");
            if (!shared)
                throw Failure("the shared files folder of Office is not registered", false);
            folder = TrimBlanks(shared->substr(0, shared->find('\0'))) + "Stationery";
        }
        restoreFolderItem("BackupStationery", folder);
    });
}

bool ItemRestore::RestoreTemplates() {
    return guarded("templates", [&] {
        restoreFolderItem("BackupTemplates",
                          userFolder("\\AppData\\Roaming\\Microsoft\\Templates",
                                     "\\Application Data\\Microsoft\\Templates"));
    });
}

bool ItemRestore::RestoreSetting() {
    return guarded("preferences", [&] {
        restoreFolderItem("BackupSetting", userFolder("\\AppData\\Roaming\\Microsoft\\Outlook",
                                                      "\\Application Data\\Microsoft\\Outlook"));
    });
}

bool ItemRestore::RestoreRules(const std::string& profile) {
    return guarded("rules", [&] {
        const std::string folder = userFolder("\\AppData\\Roaming\\Microsoft\\Outlook",
                                              "\\Application Data\\Microsoft\\Outlook");
        const std::vector<std::string> names = entries("BackupRules");
        // The rules file is named after the profile it belongs to; it is
        // written under that name at once, so the rules file of the profile
        // the backup came from, lying in the same folder, stays untouched.
        const auto wanted = ProfileFileName(profile, ".RWZ");
        if (!wanted)
            throw Failure("the profile name \"" + profile +
                              "\" cannot be part of a file name; nothing was changed",
                          false);
        const std::string fileName =
            upper(names.front()) == upper(*wanted) ? names.front() : *wanted;
        extractFiles({{names.front(), fileName}}, folder);
    });
}

std::map<std::string, std::vector<std::pair<std::string, std::string>>>
ItemRestore::plannedDataFiles(const std::string& itemKey, const std::string& profile) {
    // Outlook 2013 and later keep .pst and .ost files in different folders.
    std::map<std::string, std::vector<std::string>> byFolder;
    for (const auto& name : entries(itemKey))
        byFolder[DataFileFolderFor(env_.session(), env_.reg, name)].push_back(name);
    // A data file another profile of the prefix names is never written
    // over: the restored one gets a free name beside it.
    const DataFilesInUse inUse(env_, profile);
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> planned;
    for (const auto& [folder, names] : byFolder) {
        const auto hostFolder = env_.files.hostPath(folder);
        for (const auto& name : names)
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
        try {
            for (const auto& [folder, files] : plannedDataFiles(itemKey, profile))
                for (const auto& [entryName, fileName] : files)
                    if (env_.files.fileExists(folder + "\\" + fileName))
                        replaced.push_back(folder + "\\" + fileName);
        } catch (const std::exception&) {
            // An item that cannot be restored replaces nothing; the restore
            // itself says why.
        }
    }
    return replaced;
}

void ItemRestore::restoreProfileFiles(
    const std::string& itemKey, const std::string& profile,
    const std::function<void(const std::string&, const NewPathOf&)>& rewriteSection) {
    // The profile configuration held back goes with the data files: if they
    // cannot be put in place, the profile keeps naming its own.
    const bool withConfiguration = configurationHeld_;
    configurationHeld_ = false;
    // Files restored beside another profile's carry the profile's name.
    if (!ProfileFileName(profile, ""))
        throw Failure("the profile name \"" + profile +
                          "\" cannot be part of a file name; nothing was changed",
                      false);
    const std::string key = env_.session().profilesKey + "\\" + profile;
    if (journal_)
        journal_->beforeKeyChange(key);
    // The configuration is decrypted, checked and imported (unsaved) before
    // the first data file is replaced: a damaged one changes nothing.
    if (withConfiguration)
        importRegistryItem("BackupConfig", key, false);
    std::map<std::string, std::string> restoredNames; // upper-cased entry name -> file name
    // All of them are extracted before the first replaces anything.
    StagedFiles staged;
    for (const auto& [folder, files] : plannedDataFiles(itemKey, profile)) {
        for (const auto& [entryName, fileName] : files)
            restoredNames[upper(entryName)] = fileName;
        stageFiles(files, folder, staged);
    }
    beforeCommit();
    staged.commit(retired_);
    const auto sections = env_.reg.EnumRegSubkeys(key);
    if (sections.empty())
        throw Failure("the profile " + profile + " has no sections", false);
    // The paths written into the profile are ones Wine can open.
    const auto newPathOf = [&](const std::string& fileName) {
        const std::string folder = DataFileFolderFor(env_.session(), env_.reg, fileName);
        const auto renamed = restoredNames.find(upper(fileName));
        return env_.files.canonicalPath(folder).value_or(folder) + "\\" +
               (renamed == restoredNames.end() ? fileName : renamed->second);
    };
    for (const auto& section : sections)
        rewriteSection(key + "\\" + section, newPathOf);
}

bool ItemRestore::RestoreDatas(const std::string& profile) {
    return guarded("personal folders", [&] {
        std::vector<MovedDataFile> moved;
        restoreProfileFiles(
            "BackupDatas", profile, [&](const std::string& sectionKey, const NewPathOf& newPathOf) {
                const auto storePath = ReadStorePath(env_.reg, sectionKey);
                if (!storePath)
                    return;
                const std::string& oldPath = *storePath;
                const std::string newPath = newPathOf(BareName(oldPath));
                orFail(env_.reg.DeleteRegValue(sectionKey, "001e6700"));
                orFail(ReplaceInRegBinary(env_.reg, sectionKey, "01020fff", oldPath, newPath));
                orFail(ReplaceInRegBinary(env_.reg, sectionKey, "001f6700", oldPath, newPath));
                if (oldPath != newPath)
                    moved.push_back({oldPath, newPath});
            });
        const std::string key = env_.session().profilesKey + "\\" + profile;
        const std::string services = key + "\\" + kServiceSection;
        orFail(env_.reg.DeleteRegValue(services, "1102039b"));
        orFail(env_.reg.DeleteRegValue(services, "001e023d"));
        // Accounts and other sections carry store entry identifiers of their
        // own ("Delivery Store EntryID"): they name the restored files too.
        ReplaceDataFilePathsBelow(env_.reg, key, moved);
        const std::string accounts = AccountsKeyFor(env_.session(), profile);
        if (journal_)
            journal_->beforeKeyChange(accounts);
        ReplaceDataFilePathsBelow(env_.reg, accounts, moved);
        saveRegistry();
        movedDataFiles_ = std::move(moved);
        const auto favoritesName = ProfileFileName(profile, ".FAV");
        if (!favoritesName)
            throw Failure("the profile name \"" + profile + "\" cannot be part of a file name",
                          false);
        const std::string favorites = env_.session().userProfile +
                                      "\\Application Data\\Microsoft\\Outlook\\" + *favoritesName;
        const auto host = env_.files.hostPath(favorites);
        if (journal_ && host && env_.files.fileExists(favorites))
            journal_->beforeFileChange(*host);
        beforeCommit();
        if (env_.files.fileExists(favorites) && !env_.files.deleteFile(favorites))
            throw Failure("cannot delete " + favorites, false);
    });
}

bool ItemRestore::RestorePab(const std::string& profile) {
    return guarded("personal address book", [&] {
        restoreProfileFiles(
            "BackupPab", profile, [&](const std::string& sectionKey, const NewPathOf& newPathOf) {
                const auto old = env_.reg.ReadRegString(sectionKey, "001e6600");
                if (!old)
                    return;
                const auto cut = old->find_last_of('\\');
                if (cut == std::string::npos)
                    throw Failure("the address book path \"" + *old + "\" names no folder", false);
                orFail(env_.reg.WriteRegString(sectionKey, "001e6600",
                                               newPathOf(old->substr(cut + 1))));
            });
        saveRegistry();
    });
}

namespace {

using RestoreOperation = bool (*)(ItemRestore&, const std::string& profile);

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

bool ItemRestore::Run(const ItemRecord& record, const std::string& profile) {
    return kRestoreOperations[RecordIndex(record)].second(*this, profile);
}

} // namespace trelmig
