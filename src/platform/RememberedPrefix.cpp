#include "platform/RememberedPrefix.h"

#include "platform/SideFile.h"
#include "platform/TextFile.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

constexpr const char* kKey = "prefix=";

} // namespace

std::optional<fs::path> RememberedPrefixFile() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return fs::path(config) / "trelmig" / "window.conf";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".config" / "trelmig" / "window.conf";
    return std::nullopt;
}

std::optional<fs::path> LoadRememberedPrefix() {
    const auto file = RememberedPrefixFile();
    std::error_code ec;
    if (!file || !fs::is_regular_file(*file, ec))
        return std::nullopt;
    try {
        for (const std::string& line : readLines(*file))
            if (line.starts_with(kKey) && line.size() > std::string(kKey).size())
                return fs::path(line.substr(std::string(kKey).size()));
    } catch (const std::runtime_error&) {
        // An unreadable file remembers nothing; the default prefix is used.
    }
    return std::nullopt;
}

void SaveRememberedPrefix(const fs::path& prefix) {
    const auto file = RememberedPrefixFile();
    if (!file)
        throw std::runtime_error("neither XDG_CONFIG_HOME nor HOME is set: there is no folder "
                                 "for the settings file");
    const std::string folder = prefix.string();
    if (folder.empty() || folder.find_first_of("\r\n") != std::string::npos)
        throw std::runtime_error("the folder name \"" + folder + "\" cannot be kept in " +
                                 file->string());
    std::error_code ec;
    fs::create_directories(file->parent_path(), ec);
    if (ec)
        throw std::runtime_error("cannot create " + file->parent_path().string() + ": " +
                                 ec.message());
    SideFile side(file->string());
    side.create();
    const std::string line = kKey + folder + "\n";
    side.write(line.data(), line.size());
    side.commit();
}

} // namespace trelmig
