#include "platform/SubFolders.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace trelmig {

std::vector<fs::path> SortedSubfolders(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec))
            found.push_back(it->path());
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace trelmig
