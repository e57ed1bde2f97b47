#pragma once

#include "archive/ZipFileList.h"
#include "core/ItemCatalogue.h"
#include "platform/PointInTimeCopy.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trelmig {

class CancelToken;
struct Session;
struct ItemLocations;
class WinFiles;
class RegistryKeys;
class AnsiCodec;

// The ten operations that gather one item each into the archive being
// built: they queue the item's files, write the item's line into the
// information file and answer true only when they reached their last step.
// They never show a message; the reason of a failure is kept for the
// completion message.
class ItemBackup {
public:
    // locations: those of the profile the operations are given.
    ItemBackup(const Session& session, const ItemLocations& locations, RegistryKeys& reg,
               const WinFiles& files, const AnsiCodec& ansi, ZipFileList& archiveFiles);
    // Removes the registry exports it made: the archive is written by then.
    ~ItemBackup();
    ItemBackup(const ItemBackup&) = delete;
    ItemBackup& operator=(const ItemBackup&) = delete;

    bool BackupConfig(const std::string& strIdentity);
    bool BackupDatas(const std::string& strIdentity);
    bool BackupRules(const std::string& strIdentity);
    bool BackupAccounts(const std::string& strIdentity);
    bool BackupSignatures();
    bool BackupStationery();
    bool BackupPab(const std::string& strIdentity);
    bool BackupConfigsetting();
    bool BackupTemplates();
    bool BackupSetting();

    // Runs the operation of an item record.
    bool Run(const ItemRecord& record, const std::string& profile);

    // Stops the copy of a data file when the user cancels.
    void SetCancel(const CancelToken* cancel);

    // Why the last operation failed; empty after success.
    const std::string& LastError() const { return lastError_; }

private:
    // Runs the body; a failure becomes false and its reason LastError().
    bool guarded(const std::function<void()>& operation);
    std::string profileKey(const std::string& strIdentity) const;
    // shownAs: what the user sees for the export while the archive is written.
    bool exportKey(const std::string& keyPath, const char* prefix, const char* itemKey,
                   std::string_view shownAs);
    // The export again in UTF-8 when the code page cannot hold all of it,
    // named by the item key's UTF-8 line of the information file.
    void addUnicodeExport(const std::string& keyPath, const char* prefix, const char* itemKey,
                          std::string_view shownAs);
    bool copyFolder(const std::string& folder, const char* itemKey);
    // Adds every file directly inside the folder; returns their names joined
    // by ";". Fails for a missing folder or one holding no file.
    std::string addFolderFiles(const std::string& folder);
    // Adds the files of the folders the folder's HTML signatures link to,
    // named "<folder>|<file>"; returns those names joined by ";".
    std::string addSignaturePictures(const std::string& folder);
    void addCopyAs(const std::string& windowsPath, const std::string& entryName);
    // The files the profile's sections name (pathOf reads a section's path).
    bool gatherProfileFiles(const std::string& strIdentity, const char* itemKey,
                            const std::function<std::string(const std::string&)>& pathOf);
    // pointInTime: the archive takes a copy of the file as it was at one
    // moment (data files are open in Outlook, which writes them at any time).
    void addWindowsFile(const std::string& windowsPath, bool pointInTime = false);
    void saveKey(const char* key, const std::string& value);

    const Session& session_;
    const ItemLocations& locations_;
    RegistryKeys& reg_;
    const WinFiles& files_;
    const AnsiCodec& ansi_;
    ZipFileList& archiveFiles_;
    PointInTimeCopies copies_;         // in the work folder, gone with this object
    std::vector<std::string> exports_; // registry exports in the work folder
    std::string lastError_;
};

} // namespace trelmig
