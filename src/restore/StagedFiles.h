#pragma once

#include "core/Error.h"
#include "restore/RetiredFiles.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace trelmig {

// Extracted files waiting beside their places under names a later restore
// recognises as leftovers (".<name>.trelmig-x-XXXXXX"); removed unless
// committed. The commit is all or nothing: when one file cannot be put in
// place, those put in place before it get their old versions back (or go,
// where there was none), so the folder is as it was.
class StagedFiles {
public:
    StagedFiles() = default;
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    // The name the new file for target is written under (nothing is there yet).
    const std::filesystem::path& add(const std::filesystem::path& target);
    static std::filesystem::path leftoverName(const std::filesystem::path& target);
    // Flushes the staged files, renames each over its target and flushes the
    // targets' folders. Fails with nothing changed when a file cannot be
    // flushed or put in place.
    Result<void> commit(RetiredFiles& retired);
    // Flushes the staged files and puts each in place only where nothing is
    // under its name: a file that appeared there meanwhile is never written
    // over, and the commit then fails with the new files gone again.
    Result<void> commitBesideOthers();

private:
    // A target already replaced, and the second name of its old version
    // (empty where there was no old file).
    struct Replaced {
        std::filesystem::path target;
        std::filesystem::path oldVersion;
        bool retiredLater = false; // handed to RetiredFiles (large)
    };
    static void putBack(const std::vector<Replaced>& replaced);

    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> files_;
};

} // namespace trelmig
