#include "backup/ItemBackup.h"

#include "core/ProfileFileName.h"
#include "core/Session.h"
#include "core/SettingsFile.h"
#include "core/TempFiles.h"
#include "platform/Text.h"
#include "platform/WinFiles.h"
#include "registry/RegistryBinary.h"
#include "registry/RegistryText.h"
#include "registry/modReg.h"

#include <array>
#include <functional>
#include <stdexcept>

namespace trelmig {

namespace {

// Why an item cannot be gathered; caught at the operation's boundary.
class ItemFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& why) {
    throw ItemFailure(why);
}

} // namespace

bool ItemBackup::guarded(const std::function<void()>& operation) {
    lastError_.clear();
    try {
        operation();
        return true;
    } catch (const std::exception& e) {
        lastError_ = e.what();
    } catch (...) {
        lastError_ = "an unknown error";
    }
    return false;
}

ItemBackup::ItemBackup(Session& session, modReg& reg, const WinFiles& files, const AnsiCodec& ansi,
                       ZipFileList& archiveFiles)
    : session_(session), reg_(reg), files_(files), ansi_(ansi), archiveFiles_(archiveFiles) {}

std::string ItemBackup::profileKey(const std::string& strIdentity) const {
    return session_.strProfilesKey + "\\" + strIdentity;
}

void ItemBackup::saveKey(const char* key, const std::string& value) {
    SaveINI(key, value, session_.strInfoFile, ansi_);
}

void ItemBackup::addWindowsFile(const std::string& windowsPath) {
    const auto host = files_.hostPath(windowsPath);
    if (!host)
        fail("the path " + windowsPath + " names no file of this machine");
    if (!archiveFiles_.AddFile(host->string()))
        fail(archiveFiles_.LastError());
}

bool ItemBackup::exportKey(const std::string& keyPath, const char* prefix, std::string& exportFile,
                           const char* itemKey) {
    return guarded([&] {
        if (!reg_.RegKeyExists(keyPath))
            fail("the registry key " + keyPath + " does not exist");
        exportFile = sGetTempFile(session_.strProgramFolder, prefix);
        if (exportFile.empty())
            fail("no scratch file can be created in the work folder " + session_.strProgramFolder);
        ExportRegTree(reg_, keyPath, "", exportFile);
        if (!archiveFiles_.AddFile(exportFile))
            fail(archiveFiles_.LastError());
        saveKey(itemKey, BareName(exportFile));
    });
}

bool ItemBackup::copyFolder(const std::string& folder, const char* itemKey) {
    return guarded([&] {
        if (!files_.folderExists(folder))
            fail("the folder " + folder + " does not exist");
        std::string list;
        for (const auto& name : files_.listFiles(folder)) {
            if (name.empty())
                continue;
            if (!list.empty())
                list += ';';
            list += name;
            // A file that is not in the archive must not be named as if it were.
            addWindowsFile(folder + "\\" + name);
        }
        if (list.empty())
            fail("the folder " + folder + " holds no file");
        saveKey(itemKey, list);
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
        const auto fileName = ProfileFileName(strIdentity, ".RWZ");
        if (!fileName)
            fail("the profile name \"" + strIdentity + "\" cannot be part of a file name");
        const std::string rules = session_.strRulesDir + "\\" + *fileName;
        if (!files_.fileExists(rules))
            fail("there is no rules file " + rules);
        addWindowsFile(rules);
        saveKey("BackupRules", *fileName);
    });
}

bool ItemBackup::gatherProfileFiles(const std::string& strIdentity, const char* itemKey,
                                    const std::function<std::string(const std::string&)>& pathOf) {
    return guarded([&] {
        const std::string key = profileKey(strIdentity);
        const auto sections = reg_.EnumRegSubkeys(key);
        if (sections.empty())
            fail("the profile " + strIdentity + " has no sections");
        std::string list;
        for (const auto& section : sections) {
            std::string path = pathOf(key + "\\" + section);
            if (path == kRegError || !files_.fileExists(path))
                continue;
            if (!list.empty())
                list += ';';
            list += BareName(path);
            path = ReplaceAll(path, "\\\\", "\\");
            addWindowsFile(path);
        }
        if (list.empty())
            fail("the profile " + strIdentity + " names no file that exists");
        saveKey(itemKey, list);
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

bool ItemBackup::Run(const BackupStep& step, const std::string& profile) {
    using Operation = bool (*)(ItemBackup&, const std::string&);
    // In the order of backupSteps().
    static constexpr std::array<std::pair<std::string_view, Operation>, kBackupStepCount>
        operations = {{
            {"BackupConfig", [](ItemBackup& b, const std::string& p) { return b.BackupConfig(p); }},
            {"BackupDatas", [](ItemBackup& b, const std::string& p) { return b.BackupDatas(p); }},
            {"BackupRules", [](ItemBackup& b, const std::string& p) { return b.BackupRules(p); }},
            {"BackupAccounts",
             [](ItemBackup& b, const std::string& p) { return b.BackupAccounts(p); }},
            {"BackupSignatures",
             [](ItemBackup& b, const std::string&) { return b.BackupSignatures(); }},
            {"BackupStationery",
             [](ItemBackup& b, const std::string&) { return b.BackupStationery(); }},
            {"BackupPab", [](ItemBackup& b, const std::string& p) { return b.BackupPab(p); }},
            {"BackupConfigsetting",
             [](ItemBackup& b, const std::string&) { return b.BackupConfigsetting(); }},
            {"BackupTemplates",
             [](ItemBackup& b, const std::string&) { return b.BackupTemplates(); }},
            {"BackupSetting", [](ItemBackup& b, const std::string&) { return b.BackupSetting(); }},
        }};
    const auto& [itemKey, operation] = operations.at(StepIndex(step));
    if (itemKey != step.itemKey)
        throw std::logic_error("the backup operations are not in the order of the steps");
    return operation(*this, profile);
}

} // namespace trelmig
