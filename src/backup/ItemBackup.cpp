#include "backup/ItemBackup.h"

#include "core/Session.h"
#include "core/SettingsFile.h"
#include "core/TempFiles.h"
#include "platform/Text.h"
#include "platform/WinFiles.h"
#include "registry/RegistryBinary.h"
#include "registry/RegistryText.h"
#include "registry/modReg.h"

#include <functional>

namespace trelmig {

namespace {

// Failures of an item operation, whatever their kind, become its "false".
bool guarded(const std::function<bool()>& operation) {
    try {
        return operation();
    } catch (...) {
        return false;
    }
}

} // namespace

ItemBackup::ItemBackup(Session& session, modReg& reg, const WinFiles& files, const AnsiCodec& ansi,
                       ZipFileList& archiveFiles)
    : session_(session), reg_(reg), files_(files), ansi_(ansi), archiveFiles_(archiveFiles) {}

std::string ItemBackup::profileKey(const std::string& strIdentity) const {
    return session_.strProfilesKey + "\\" + strIdentity;
}

void ItemBackup::saveKey(const char* key, const std::string& value) {
    SaveINI(key, value, session_.strInfoFile, ansi_);
}

bool ItemBackup::addWindowsFile(const std::string& windowsPath) {
    const auto host = files_.hostPath(windowsPath);
    return host && archiveFiles_.AddFile(host->string());
}

bool ItemBackup::exportKey(const std::string& keyPath, const char* prefix, std::string& exportFile,
                           const char* itemKey) {
    return guarded([&] {
        if (!reg_.RegKeyExists(keyPath))
            return false;
        exportFile = sGetTempFile(session_.strProgramFolder, prefix);
        if (exportFile.empty())
            return false;
        ExportRegTree(reg_, keyPath, "", exportFile);
        if (!archiveFiles_.AddFile(exportFile))
            return false;
        saveKey(itemKey, BareName(exportFile));
        return true;
    });
}

bool ItemBackup::copyFolder(const std::string& folder, const char* itemKey) {
    return guarded([&] {
        if (!files_.folderExists(folder))
            return false;
        std::string list;
        bool allAdded = true;
        for (const auto& name : files_.listFiles(folder)) {
            if (name.empty())
                continue;
            if (!list.empty())
                list += ';';
            list += name;
            allAdded = addWindowsFile(folder + "\\" + name) && allAdded;
        }
        // A file that is not in the archive must not be named as if it were.
        if (list.empty() || !allAdded)
            return false;
        saveKey(itemKey, list);
        return true;
    });
}

bool ItemBackup::BackupConfig(const std::string& strIdentity) {
    return exportKey(profileKey(strIdentity), "OBC", session_.strConfigExportFile, "BackupConfig");
}

bool ItemBackup::BackupAccounts(const std::string&) {
    return exportKey(session_.strAccountsKey, "OBA", session_.strAccountsExportFile,
                     "BackupAccounts");
}

bool ItemBackup::BackupConfigsetting() {
    return exportKey(session_.strOptionsKey, "OBC", session_.strOptionsExportFile,
                     "BackupConfigsetting");
}

bool ItemBackup::BackupSignatures() {
    return copyFolder(session_.strSignaturesDir, "BackupSignatures");
}
bool ItemBackup::BackupStationery() {
    return copyFolder(session_.strStationeryDir, "BackupStationery");
}
bool ItemBackup::BackupTemplates() {
    return copyFolder(session_.strTemplatesDir, "BackupTemplates");
}
bool ItemBackup::BackupSetting() {
    return copyFolder(session_.strPreferencesDir, "BackupSetting");
}

bool ItemBackup::BackupRules(const std::string& strIdentity) {
    return guarded([&] {
        const std::string rules = session_.strRulesDir + "\\" + strIdentity + ".RWZ";
        if (!files_.fileExists(rules) || !addWindowsFile(rules))
            return false;
        saveKey("BackupRules", strIdentity + ".RWZ");
        return true;
    });
}

bool ItemBackup::gatherProfileFiles(const std::string& strIdentity, const char* itemKey,
                                    const std::function<std::string(const std::string&)>& pathOf) {
    return guarded([&] {
        const std::string key = profileKey(strIdentity);
        const auto sections = reg_.EnumRegSubkeys(key);
        if (sections.empty())
            return false;
        std::string list;
        bool allAdded = true;
        for (const auto& section : sections) {
            std::string path = pathOf(key + "\\" + section);
            if (path == kRegError || !files_.fileExists(path))
                continue;
            if (!list.empty())
                list += ';';
            list += BareName(path);
            path = ReplaceAll(path, "\\\\", "\\");
            allAdded = addWindowsFile(path) && allAdded;
        }
        if (list.empty() || !allAdded)
            return false;
        saveKey(itemKey, list);
        return true;
    });
}

bool ItemBackup::BackupDatas(const std::string& strIdentity) {
    return gatherProfileFiles(strIdentity, "BackupDatas", [&](const std::string& section) {
        return ReadStorePath(reg_, section);
    });
}

bool ItemBackup::BackupPab(const std::string& strIdentity) {
    return gatherProfileFiles(strIdentity, "BackupPab", [&](const std::string& section) {
        return reg_.ReadRegString(section, "001e6600");
    });
}

bool ItemBackup::Run(std::string_view itemKey, const std::string& profile) {
    if (itemKey == "BackupConfig")
        return BackupConfig(profile);
    if (itemKey == "BackupDatas")
        return BackupDatas(profile);
    if (itemKey == "BackupRules")
        return BackupRules(profile);
    if (itemKey == "BackupAccounts")
        return BackupAccounts(profile);
    if (itemKey == "BackupSignatures")
        return BackupSignatures();
    if (itemKey == "BackupStationery")
        return BackupStationery();
    if (itemKey == "BackupPab")
        return BackupPab(profile);
    if (itemKey == "BackupConfigsetting")
        return BackupConfigsetting();
    if (itemKey == "BackupTemplates")
        return BackupTemplates();
    if (itemKey == "BackupSetting")
        return BackupSetting();
    return false;
}

} // namespace trelmig
