#pragma once

#include "archive/ZipWriter.h"
#include "core/Error.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace trelmig {

// The files of an archive about to be written, each to be stored at the root
// under its bare name. Paths are host paths.
class ZipFileList {
public:
    // fileAdded is told the shown name of every file taken.
    explicit ZipFileList(std::function<void(const std::string&)> fileAdded = {});

    // Fails when the file does not exist or a different file of the same
    // bare name (ignoring case) is already listed; the same file listed again
    // is there already (no failure). A file the program made itself (a
    // registry export in the work folder) is shown to the user as shownAs
    // rather than by its scratch name.
    Result<void> AddFile(const std::string& hostPath, std::string shownAs = {});
    const std::vector<ZipQueuedFile>& Files() const { return files_; }

private:
    std::function<void(const std::string&)> fileAdded_;
    std::vector<ZipQueuedFile> files_;
    // Case-folded entry name -> the file listed under it (device, inode).
    std::unordered_map<std::u16string, std::pair<dev_t, ino_t>> names_;
};

} // namespace trelmig
