#include "archive/ZipFileList.h"

#include "archive/ZipEntryNames.h"
#include "platform/Utf.h"

#include <sys/stat.h>

namespace trelmig {

ZipFileList::ZipFileList(std::function<void(const std::string&)> fileAdded)
    : fileAdded_(std::move(fileAdded)) {}

Result<void> ZipFileList::AddFile(const std::string& hostPath, std::string shownAs) {
    struct stat st {};
    if (::stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return Fail("The file " + hostPath + " does not exist.");
    std::string name = bareEntryName(hostPath);
    const auto [it, added] =
        names_.emplace(foldCase(utf8ToUtf16(name)), std::make_pair(st.st_dev, st.st_ino));
    if (!added) {
        // The same file asked for twice (the rules file is also in the
        // preferences folder) is in the archive already.
        if (it->second == std::make_pair(st.st_dev, st.st_ino))
            return {};
        return Fail("A different file named " + name + " is already in the archive.");
    }
    files_.push_back({hostPath, std::move(name), std::move(shownAs)});
    if (fileAdded_)
        fileAdded_(files_.back().shownName());
    return {};
}

} // namespace trelmig
