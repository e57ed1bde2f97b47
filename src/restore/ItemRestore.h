#pragma once

#include "core/Error.h"
#include "core/ItemCatalogue.h"
#include "registry/RegistryBinary.h"
#include "restore/RetiredFiles.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace trelmig {

class Environment;
struct InspectedArchive;
class RestoreJournal;
class StagedFiles;
class ZipArchive;

// The ten operations that put one item each back from the inspected archive
// into the user's Outlook: they succeed only when they reached their last
// step, and a failure's reason names the item for the completion message.
//
// Nothing of the user's is ever half-written: each file is extracted beside
// its destination and renamed into place only when complete and verified; the
// registry changes of one operation are saved together or not at all; entry
// names that are not bare file names are refused; a destination without room
// for the files is refused before anything is written.
class ItemRestore {
public:
    // The archive is open in zip, as the inspection left it.
    ItemRestore(Environment& env, ZipArchive& zip, const InspectedArchive& archive);

    Result<void> RestoreConfig(const std::string& profile);
    Result<void> RestoreDatas(const std::string& profile);
    Result<void> RestoreRules(const std::string& profile);
    Result<void> RestoreAccounts(const std::string& profile);
    Result<void> RestoreSignatures();
    Result<void> RestoreStationery();
    Result<void> RestorePab(const std::string& profile);
    Result<void> RestoreConfigsetting();
    Result<void> RestoreTemplates();
    Result<void> RestoreSetting();

    // While held, RestoreConfig only checks the profile configuration, and
    // the next RestoreDatas or RestorePab imports it together with its own
    // changes once its files are in place, or drops it when they are not.
    void HoldProfileConfiguration(bool hold);

    // Told of every file, folder and registry key before it is changed.
    void SetJournal(RestoreJournal* journal) { journal_ = journal; }
    // The data files of the personal folders and of the address book that a
    // restore of the inspected backup into the profile would replace, as
    // Windows paths.
    std::vector<std::string> DataFilesReplaced(const std::string& profile, bool personalFolders,
                                               bool addressBook);

    // Runs the operation of an item record.
    Result<void> Run(const ItemRecord& record, const std::string& profile);

private:
    // Runs the body; a failure (or an exception from below) is named after
    // what, and the registry's unsaved changes are dropped.
    Result<void> guarded(const std::string& what, const std::function<Result<void>()>& body);
    Result<std::vector<std::string>> entries(const std::string& itemKey) const;
    Result<void> extractInto(const std::vector<std::string>& names, const std::string& folder);
    // Extracts (entry name, file name) pairs into the folder: all of them
    // beside their places first, then renamed into place.
    Result<void> extractFiles(const std::vector<std::pair<std::string, std::string>>& files,
                              const std::string& folder);
    // Checks the names and room and extracts the files beside their places,
    // for the caller to commit.
    Result<void> stageFiles(const std::vector<std::pair<std::string, std::string>>& files,
                            const std::string& folder, StagedFiles& staged);
    Result<std::string> extractToWorkFolder(const std::string& name);
    Result<void> ensureFolder(const std::string& folder);
    Result<void> importRegistryItem(const std::string& itemKey, const std::string& targetKey,
                                    bool save = true);
    // The data files of the item by destination folder: (entry name, file
    // name) pairs, the file name free of the files other profiles name.
    using PlannedFiles = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;
    Result<PlannedFiles> plannedDataFiles(const std::string& itemKey, const std::string& profile);
    Result<void> restoreFolderItem(const std::string& itemKey, const std::string& folder);
    // The path a data file of that bare name gets, as Wine names it.
    using NewPathOf = std::function<std::string(const std::string&)>;
    using RewriteSection = std::function<Result<void>(const std::string&, const NewPathOf&)>;
    // Extracts the item's files into the data file folders and hands every
    // section of the profile, with the paths the files got, to
    // rewriteSection; the caller saves.
    Result<void> restoreProfileFiles(const std::string& itemKey, const std::string& profile,
                                     const RewriteSection& rewriteSection);
    Result<void> saveRegistry();
    // Tells the journal that the changes told to it are about to be made.
    void beforeCommit();
    std::string userFolder(const char* newWindows, const char* otherWindows) const;

    Environment& env_;
    ZipArchive& zip_;
    const InspectedArchive& archive_;
    bool holdProfileConfiguration_ = false;
    bool configurationHeld_ = false;
    RetiredFiles retired_;
    RestoreJournal* journal_ = nullptr;
    // The data files this run restored under another path than the profile
    // named, for the accounts restored after them.
    std::vector<MovedDataFile> movedDataFiles_;
};

} // namespace trelmig
