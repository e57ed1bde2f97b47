#pragma once

#include "archive/ZipFileList.h"
#include "core/Error.h"
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
// information file and succeed only when they reached their last step.
// They never show a message; a failure's reason is for the completion
// message.
class ItemBackup {
public:
    // locations: those of the profile the operations are given.
    ItemBackup(const Session& session, const ItemLocations& locations, RegistryKeys& reg,
               const WinFiles& files, const AnsiCodec& ansi, ZipFileList& archiveFiles);
    // Removes the registry exports it made: the archive is written by then.
    ~ItemBackup();
    ItemBackup(const ItemBackup&) = delete;
    ItemBackup& operator=(const ItemBackup&) = delete;

    Result<void> BackupConfig(const std::string& profile);
    Result<void> BackupDatas(const std::string& profile);
    Result<void> BackupRules(const std::string& profile);
    Result<void> BackupAccounts(const std::string& profile);
    Result<void> BackupSignatures();
    Result<void> BackupStationery();
    Result<void> BackupPab(const std::string& profile);
    Result<void> BackupConfigsetting();
    Result<void> BackupTemplates();
    Result<void> BackupSetting();

    // Runs the operation of an item record.
    Result<void> Run(const ItemRecord& record, const std::string& profile);

    // Stops the copy of a data file when the user cancels.
    void SetCancel(const CancelToken* cancel);
    // Lists data files as they are instead of copying them: whoever reads
    // them then must see that they did not change meanwhile, and take a
    // point-in-time copy of those that did.
    void ListDataFilesInPlace() { inPlace_ = true; }
    // The host paths of the data files listed in place.
    const std::vector<std::string>& InPlaceFiles() const { return inPlaceFiles_; }

private:
    // Runs the body; an exception from below it becomes its failure.
    Result<void> guarded(const std::function<Result<void>()>& operation);
    std::string profileKey(const std::string& profile) const;
    // shownAs: what the user sees for the export while the archive is written.
    Result<void> exportKey(const std::string& keyPath, const char* prefix, const char* itemKey,
                           std::string_view shownAs);
    // A new scratch file in the work folder, removed with this object.
    Result<std::string> scratchFile(const char* prefix);
    // The export again in UTF-8 when the code page cannot hold all of it,
    // named by the item key's UTF-8 line of the information file.
    Result<void> addUnicodeExport(const std::string& keyPath, const char* prefix,
                                  const char* itemKey, std::string_view shownAs);
    Result<void> copyFolder(const std::string& folder, const char* itemKey);
    // Adds every file directly inside the folder; returns their names joined
    // by ";". Fails for a missing folder or one holding no file.
    Result<std::string> addFolderFiles(const std::string& folder);
    // Adds the files of the folders the folder's HTML signatures link to,
    // named "<folder>|<file>"; returns those names joined by ";".
    Result<std::string> addSignaturePictures(const std::string& folder);
    Result<void> addCopyAs(const std::string& windowsPath, const std::string& entryName);
    // The files the profile's sections name (pathOf reads a section's path).
    Result<void> gatherProfileFiles(const std::string& profile, const char* itemKey,
                                    const std::function<std::string(const std::string&)>& pathOf);
    // pointInTime: the archive takes a copy of the file as it was at one
    // moment (data files are open in Outlook, which writes them at any time).
    Result<void> addWindowsFile(const std::string& windowsPath, bool pointInTime = false);
    void saveKey(const char* key, const std::string& value);

    const Session& session_;
    const ItemLocations& locations_;
    RegistryKeys& reg_;
    const WinFiles& files_;
    const AnsiCodec& ansi_;
    ZipFileList& archiveFiles_;
    PointInTimeCopies copies_;         // in the work folder, gone with this object
    std::vector<std::string> exports_; // registry exports in the work folder
    bool inPlace_ = false;
    std::vector<std::string> inPlaceFiles_;
};

} // namespace trelmig
