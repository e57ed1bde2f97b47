#pragma once

#include "core/ItemCatalogue.h"
#include "registry/RegistryBinary.h"
#include "restore/RetiredFiles.h"

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace trelmig {

class Environment;
struct InspectedArchive;
class RestoreJournal;
class StagedFiles;
class ZipArchive;

// The ten operations that put one item each back from the inspected archive
// into the user's Outlook: true only when they reached their last step.
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

    bool RestoreConfig(const std::string& profile);
    bool RestoreDatas(const std::string& profile);
    bool RestoreRules(const std::string& profile);
    bool RestoreAccounts(const std::string& profile);
    bool RestoreSignatures();
    bool RestoreStationery();
    bool RestorePab(const std::string& profile);
    bool RestoreConfigsetting();
    bool RestoreTemplates();
    bool RestoreSetting();

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
    bool Run(const ItemRecord& record, const std::string& profile);

    // Why the last operation failed; empty after success.
    const std::string& LastError() const { return lastError_; }
    // True when the last failure was the archive's or the registry files'
    // (not the item's): the restore as a whole did not work.
    bool LastFailureWasHard() const { return hardFailure_; }

private:
    class Failure;
    bool guarded(const std::string& what, const std::function<void()>& body);
    std::vector<std::string> entries(const std::string& itemKey) const;
    void extractInto(const std::vector<std::string>& names, const std::string& folder);
    // Extracts (entry name, file name) pairs into the folder: all of them
    // beside their places first, then renamed into place.
    void extractFiles(const std::vector<std::pair<std::string, std::string>>& files,
                      const std::string& folder);
    // Checks the names and room and extracts the files beside their places,
    // for the caller to commit.
    void stageFiles(const std::vector<std::pair<std::string, std::string>>& files,
                    const std::string& folder, StagedFiles& staged);
    std::string extractToWorkFolder(const std::string& name);
    void ensureFolder(const std::string& folder);
    void importRegistryItem(const std::string& itemKey, const std::string& targetKey,
                            bool save = true);
    // The data files of the item by destination folder: (entry name, file
    // name) pairs, the file name free of the files other profiles name.
    std::map<std::string, std::vector<std::pair<std::string, std::string>>>
    plannedDataFiles(const std::string& itemKey, const std::string& profile);
    void restoreFolderItem(const std::string& itemKey, const std::string& folder);
    // The path a data file of that bare name gets, as Wine names it.
    using NewPathOf = std::function<std::string(const std::string&)>;
    // Extracts the item's files into the data file folders and hands every
    // section of the profile, with the paths the files got, to
    // rewriteSection; the caller saves.
    void restoreProfileFiles(
        const std::string& itemKey, const std::string& profile,
        const std::function<void(const std::string&, const NewPathOf&)>& rewriteSection);
    void saveRegistry();
    // Tells the journal that the changes told to it are about to be made.
    void beforeCommit();
    std::string userFolder(const char* newWindows, const char* otherWindows) const;

    Environment& env_;
    ZipArchive& zip_;
    const InspectedArchive& archive_;
    std::string lastError_;
    bool hardFailure_ = false;
    bool holdProfileConfiguration_ = false;
    bool configurationHeld_ = false;
    RetiredFiles retired_;
    RestoreJournal* journal_ = nullptr;
    // The data files this run restored under another path than the profile
    // named, for the accounts restored after them.
    std::vector<MovedDataFile> movedDataFiles_;
};

} // namespace trelmig
