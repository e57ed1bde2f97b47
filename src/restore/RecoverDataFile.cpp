#include "restore/RecoverDataFile.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "outlook/ItemLocations.h"
#include "platform/WinFiles.h"
#include "restore/StagedFiles.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

bool isBareName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string::npos;
}

bool makeFolder(WinFiles& files, const std::string& folder) {
    if (files.folderExists(folder))
        return true;
    const auto cut = folder.find_last_of('\\');
    if (cut == std::string::npos || cut < 3 || !makeFolder(files, folder.substr(0, cut)))
        return false;
    return files.createFolder(folder);
}

} // namespace

std::string RecoveryFolder(Environment& env, const std::string& dataFile) {
    return DataFileFolderFor(env.session(), env.reg, dataFile);
}

std::string RecoveredName(const std::string& dataFile, std::chrono::year_month_day day,
                          int attempt) {
    const auto dot = dataFile.find_last_of('.');
    const std::string stem =
        dot == std::string::npos || dot == 0 ? dataFile : dataFile.substr(0, dot);
    const std::string extension = stem.size() == dataFile.size() ? "" : dataFile.substr(dot);
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    std::string name = stem + " (recovered " + date + ")";
    if (attempt > 1)
        name += " (" + std::to_string(attempt) + ")";
    return name + extension;
}

Result<std::string> RecoverDataFile(WinFiles& files, ZipArchive& zip,
                                    const std::string& windowsFolder, const std::string& dataFile,
                                    std::chrono::year_month_day day) {
    if (!isBareName(dataFile))
        return Fail("the backup names a data file \"" + dataFile +
                    "\" that is not a plain file name");
    const auto entry = zip.GetEntry(dataFile);
    if (!entry)
        return Fail("the backup file holds no data file " + dataFile);
    if (!makeFolder(files, windowsFolder))
        return Fail("the folder " + windowsFolder + " cannot be created");
    const auto free = files.freeSpace(windowsFolder);
    if (free && *free < entry->size)
        return Fail("not enough free space in " + windowsFolder + " (" +
                    std::to_string(entry->size) + " bytes needed, " + std::to_string(*free) +
                    " free)");
    const auto targets = files.folderForWriting(windowsFolder);
    if (!targets)
        return Fail("refusing to write into " + windowsFolder +
                    ": a link on its way leads out of the Windows drive");
    files.removeStaleExtractions(windowsFolder);
    constexpr int kTries = 1000;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        const std::string name = RecoveredName(dataFile, day, attempt);
        const auto target = targets->fileFor(name);
        if (!target)
            continue; // a link or a folder of that name: the next name
        std::error_code ec;
        if (fs::exists(fs::symlink_status(*target, ec)))
            continue;
        StagedFiles staged;
        if (const Result<void> extracted =
                zip.ExtractEntryTo(dataFile, staged.add(*target).string());
            !extracted)
            return std::unexpected(extracted.error());
        if (auto placed = staged.commitBesideOthers(); !placed)
            return std::unexpected(placed.error());
        return windowsFolder + "\\" + name;
    }
    return Fail("every name for the recovered data file is taken in " + windowsFolder);
}

} // namespace trelmig
