#include "backup/ItemBackup.h"

#include "backup/SignatureLinks.h"
#include "core/CancelToken.h"
#include "core/ProfileFileName.h"
#include "core/Session.h"
#include "core/SettingsFile.h"
#include "core/TempFiles.h"
#include "outlook/ItemLocations.h"
#include "platform/AnsiCodec.h"
#include "platform/Text.h"
#include "platform/WinFiles.h"
#include "registry/RegistryBinary.h"
#include "registry/RegistryKeys.h"
#include "registry/RegistryText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <functional>
#include <set>

namespace trelmig {

namespace {

std::string folded(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

bool isHtmlFile(const std::string& name) {
    const std::string lower = folded(name);
    return lower.ends_with(".htm") || lower.ends_with(".html");
}

} // namespace

Result<void> ItemBackup::guarded(const std::function<Result<void>()>& operation) {
    // The steps answer Result; what throws below them (the host's file
    // system, an information file that cannot be written) ends here.
    try {
        return operation();
    } catch (const std::exception& e) {
        return Fail(e.what());
    } catch (...) {
        return Fail("an unknown error");
    }
}

ItemBackup::ItemBackup(const Session& session, const ItemLocations& locations, RegistryKeys& reg,
                       const WinFiles& files, const AnsiCodec& ansi, ZipFileList& archiveFiles)
    : session_(session), locations_(locations), reg_(reg), files_(files), ansi_(ansi),
      archiveFiles_(archiveFiles),
      copies_(std::filesystem::path(session.programFolder) / "point-in-time") {}

ItemBackup::~ItemBackup() {
    std::error_code ec;
    for (const std::string& file : exports_)
        std::filesystem::remove(file, ec);
}

void ItemBackup::SetCancel(const CancelToken* cancel) {
    copies_.setStop([cancel] { return CancelRequested(cancel); });
}

std::string ItemBackup::profileKey(const std::string& profile) const {
    return session_.profilesKey + "\\" + profile;
}

void ItemBackup::saveKey(const char* key, const std::string& value) {
    SaveINI(key, value, session_.infoFile, ansi_);
}

Result<std::string> ItemBackup::scratchFile(const char* prefix) {
    auto file = NewScratchFile(session_.programFolder, prefix);
    if (!file)
        return Fail("no scratch file can be created in the work folder " + session_.programFolder);
    exports_.push_back(*file);
    return file;
}

Result<void> ItemBackup::addWindowsFile(const std::string& windowsPath, bool pointInTime) {
    const auto host = files_.hostPath(windowsPath);
    if (!host)
        return Fail("the path " + windowsPath + " names no file of this machine");
    std::filesystem::path taken = *host;
    if (pointInTime && inPlace_) {
        inPlaceFiles_.push_back(host->string());
    } else if (pointInTime) {
        // The copy has the file's own name, which the archive gives its entry.
        try {
            taken = copies_.copyOf(*host);
        } catch (const FileChangedError&) {
            return Fail(windowsPath +
                        " changed while it was being copied: close Outlook and back up again");
        } catch (const std::exception& e) {
            return Fail("no copy of " + windowsPath + " could be made: " + e.what());
        }
    }
    return archiveFiles_.AddFile(taken.string());
}

Result<void> ItemBackup::exportKey(const std::string& keyPath, const char* prefix,
                                   const char* itemKey, std::string_view shownAs) {
    return guarded([&]() -> Result<void> {
        if (!reg_.RegKeyExists(keyPath))
            return Fail("the registry key " + keyPath + " does not exist");
        const auto exportFile = scratchFile(prefix);
        if (!exportFile)
            return std::unexpected(exportFile.error());
        if (auto exported = ExportRegTree(reg_, keyPath, "", *exportFile); !exported)
            return exported;
        if (auto added = archiveFiles_.AddFile(*exportFile, std::string(shownAs)); !added)
            return added;
        saveKey(itemKey, BareName(*exportFile));
        return addUnicodeExport(keyPath, prefix, itemKey, shownAs);
    });
}

Result<void> ItemBackup::addUnicodeExport(const std::string& keyPath, const char* prefix,
                                          const char* itemKey, std::string_view shownAs) {
    const auto twin = scratchFile(prefix);
    if (!twin)
        return std::unexpected(twin.error());
    const Result<bool> written = ExportRegTreeUnicode(reg_, keyPath, *twin);
    if (!written)
        return std::unexpected(written.error());
    if (!*written)
        return {};
    if (auto added = archiveFiles_.AddFile(*twin, std::string(shownAs)); !added)
        return added;
    SaveUnicodeINI(itemKey, BareName(*twin), session_.infoFile);
    return {};
}

Result<std::string> ItemBackup::addFolderFiles(const std::string& folder) {
    if (!files_.folderExists(folder))
        return Fail("the folder " + folder + " does not exist");
    std::string list;
    for (const auto& name : files_.listFiles(folder)) {
        if (name.empty())
            continue;
        if (!list.empty())
            list += ';';
        list += name;
        // A file that is not in the archive must not be named as if it were.
        if (auto added = addWindowsFile(folder + "\\" + name); !added)
            return std::unexpected(added.error());
    }
    if (list.empty())
        return Fail("the folder " + folder + " holds no file");
    return list;
}

Result<void> ItemBackup::copyFolder(const std::string& folder, const char* itemKey) {
    return guarded([&]() -> Result<void> {
        const auto list = addFolderFiles(folder);
        if (!list)
            return std::unexpected(list.error());
        saveKey(itemKey, *list);
        return {};
    });
}

Result<std::string> ItemBackup::addSignaturePictures(const std::string& folder) {
    std::string list;
    std::set<std::string> taken; // folder names, folded
    for (const auto& name : files_.listFiles(folder)) {
        if (!isHtmlFile(name))
            continue;
        const auto html = files_.readFile(folder + "\\" + name);
        if (!html)
            return Fail("the signature " + folder + "\\" + name + " cannot be read");
        for (const std::string& linked : LinkedFolders(*html)) {
            // Word writes the link in the page's code page, or in UTF-8. The
            // entry takes the folder's name as the disk spells it: the link's
            // own bytes may match it without being UTF-8 at all.
            for (const std::string& candidate : {linked, ansi_.toUtf8(linked)}) {
                const auto host = files_.hostPath(folder + "\\" + candidate);
                if (!files_.folderExists(folder + "\\" + candidate) || !host)
                    continue;
                const std::string name = host->filename().string();
                const std::string pictures = folder + "\\" + name;
                if (taken.insert(folded(name)).second)
                    for (const auto& file : files_.listFiles(pictures)) {
                        const std::string entry = name + kFolderEntrySeparator + file;
                        if (auto added = addCopyAs(pictures + "\\" + file, entry); !added)
                            return std::unexpected(added.error());
                        list += (list.empty() ? "" : ";") + entry;
                    }
                break;
            }
        }
    }
    return list;
}

Result<void> ItemBackup::addCopyAs(const std::string& windowsPath, const std::string& entryName) {
    const auto host = files_.hostPath(windowsPath);
    if (!host)
        return Fail("the path " + windowsPath + " names no file of this machine");
    std::filesystem::path copy;
    try {
        copy = copies_.copyOf(*host, entryName);
    } catch (const std::exception& e) {
        return Fail("no copy of " + windowsPath + " could be made: " + e.what());
    }
    return archiveFiles_.AddFile(copy.string());
}

Result<void> ItemBackup::BackupConfig(const std::string& profile) {
    return exportKey(profileKey(profile), "OBC", "BackupConfig", kProfileSettingsShown);
}

Result<void> ItemBackup::BackupAccounts(const std::string&) {
    return exportKey(locations_.accountsKey, "OBA", "BackupAccounts",
                     itemCatalogue()[ItemAccounts].caption);
}

Result<void> ItemBackup::BackupConfigsetting() {
    return exportKey(locations_.optionsKey, "OBC", "BackupConfigsetting",
                     itemCatalogue()[ItemOptions].caption);
}

Result<void> ItemBackup::BackupSignatures() {
    const std::string& folder = locations_.signaturesFolder;
    return guarded([&]() -> Result<void> {
        const auto list = addFolderFiles(folder);
        if (!list)
            return std::unexpected(list.error());
        // An HTML signature shows its pictures from the folder it links to.
        const auto pictures = addSignaturePictures(folder);
        if (!pictures)
            return std::unexpected(pictures.error());
        saveKey("BackupSignatures", *list);
        if (!pictures->empty())
            saveKey(kSignatureFoldersKey, *pictures);
        return {};
    });
}
Result<void> ItemBackup::BackupStationery() {
    return copyFolder(locations_.stationeryFolder, "BackupStationery");
}
Result<void> ItemBackup::BackupTemplates() {
    return copyFolder(locations_.templatesFolder, "BackupTemplates");
}
Result<void> ItemBackup::BackupSetting() {
    return copyFolder(locations_.preferencesFolder, "BackupSetting");
}

Result<void> ItemBackup::BackupRules(const std::string& profile) {
    return guarded([&]() -> Result<void> {
        const auto fileName = ProfileFileName(profile, ".RWZ");
        if (!fileName)
            return Fail("the profile name \"" + profile + "\" cannot be part of a file name");
        const std::string rules = locations_.rulesFolder + "\\" + *fileName;
        if (!files_.fileExists(rules))
            return Fail("there is no rules file " + rules);
        if (auto added = addWindowsFile(rules); !added)
            return added;
        saveKey("BackupRules", *fileName);
        return {};
    });
}

Result<void>
ItemBackup::gatherProfileFiles(const std::string& profile, const char* itemKey,
                               const std::function<std::string(const std::string&)>& pathOf) {
    // Every file a profile names is a data file Outlook may hold open.
    return guarded([&]() -> Result<void> {
        const std::string key = profileKey(profile);
        const auto sections = reg_.EnumRegSubkeys(key);
        if (sections.empty())
            return Fail("the profile " + profile + " has no sections");
        std::string list;
        for (const auto& section : sections) {
            std::string path = pathOf(key + "\\" + section);
            if (path.empty() || !files_.fileExists(path))
                continue;
            if (!list.empty())
                list += ';';
            list += BareName(path);
            path = ReplaceAll(path, "\\\\", "\\");
            if (auto added = addWindowsFile(path, true); !added)
                return added;
        }
        if (list.empty())
            return Fail("the profile " + profile + " names no file that exists");
        saveKey(itemKey, list);
        return {};
    });
}

Result<void> ItemBackup::BackupDatas(const std::string& profile) {
    return gatherProfileFiles(profile, "BackupDatas", [&](const std::string& section) {
        return ReadStorePath(reg_, section).value_or("");
    });
}

Result<void> ItemBackup::BackupPab(const std::string& profile) {
    return gatherProfileFiles(profile, "BackupPab", [&](const std::string& section) {
        return reg_.ReadRegString(section, "001e6600").value_or("");
    });
}

namespace {

using BackupOperation = Result<void> (*)(ItemBackup&, const std::string& profile);

// The operation of each item record, at the record's index.
constexpr std::array<std::pair<std::string_view, BackupOperation>, kItemRecordCount>
    kBackupOperations = {{
        {"BackupConfig", [](ItemBackup& b, const std::string& p) { return b.BackupConfig(p); }},
        {"BackupDatas", [](ItemBackup& b, const std::string& p) { return b.BackupDatas(p); }},
        {"BackupRules", [](ItemBackup& b, const std::string& p) { return b.BackupRules(p); }},
        {"BackupAccounts", [](ItemBackup& b, const std::string& p) { return b.BackupAccounts(p); }},
        {"BackupSignatures",
         [](ItemBackup& b, const std::string&) { return b.BackupSignatures(); }},
        {"BackupStationery",
         [](ItemBackup& b, const std::string&) { return b.BackupStationery(); }},
        {"BackupPab", [](ItemBackup& b, const std::string& p) { return b.BackupPab(p); }},
        {"BackupConfigsetting",
         [](ItemBackup& b, const std::string&) { return b.BackupConfigsetting(); }},
        {"BackupTemplates", [](ItemBackup& b, const std::string&) { return b.BackupTemplates(); }},
        {"BackupSetting", [](ItemBackup& b, const std::string&) { return b.BackupSetting(); }},
    }};

static_assert(OperationsMatchRecords(kBackupOperations),
              "one backup operation per item record, in the records' order");

} // namespace

Result<void> ItemBackup::Run(const ItemRecord& record, const std::string& profile) {
    return kBackupOperations[RecordIndex(record)].second(*this, profile);
}

} // namespace trelmig
