#include "platform/VersionFiles.h"

namespace fs = std::filesystem;

namespace trelmig {

std::vector<std::string> FileNamesBeside(const fs::path& file) {
    std::vector<std::string> names;
    std::error_code ec;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec))
            names.push_back(entry.path().filename().string());
    return names;
}

bool RemoveVersionFile(const fs::path& file, std::string& error) {
    std::error_code ec;
    fs::remove(file, ec);
    if (ec)
        error = ec.message();
    return !ec;
}

bool RenameVersionFile(const fs::path& from, const fs::path& to, std::string& error) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec)
        error = ec.message();
    return !ec;
}

} // namespace trelmig
