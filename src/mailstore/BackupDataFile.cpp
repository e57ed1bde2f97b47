#include "mailstore/BackupDataFile.h"

#include "archive/ZipEntryNames.h"

namespace trelmig {

std::vector<BackupDataFile> BackupDataFiles(const ZipArchive& zip,
                                            const std::string& dataFileEntries) {
    std::vector<BackupDataFile> files;
    for (const std::string& name : splitEntryList(dataFileEntries))
        if (const auto entry = zip.GetEntry(name))
            files.push_back({entry->name, entry->name, entry->size, entry->randomAccess});
    return files;
}

} // namespace trelmig
