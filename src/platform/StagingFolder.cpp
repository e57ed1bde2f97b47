#include "platform/StagingFolder.h"

#include "platform/PointInTimeCopy.h"

#include <stdexcept>
#include <system_error>

namespace trelmig {

StagingFolder::StagingFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    if (!std::filesystem::create_directories(folder_, ec) || ec)
        throw std::runtime_error("the folder " + folder_.string() +
                                 " cannot be made: " + ec.message());
}

StagingFolder::~StagingFolder() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

namespace {

std::filesystem::path placeOf(const std::filesystem::path& folder, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        throw std::runtime_error("\"" + name + "\" is no file name of a version");
    return folder / name;
}

} // namespace

bool StagingFolder::add(const std::filesystem::path& source, const std::string& name) {
    const auto target = placeOf(folder_, name);
    std::error_code ec;
    std::filesystem::create_hard_link(source, target, ec);
    if (!ec)
        return true;
    // A copy must never be written through a link to another file.
    if (ec == std::errc::file_exists)
        throw std::runtime_error("two files of the version are named " + name);
    // Another file system (a file of the prefix on another disk): a copy,
    // taken as the file is at one moment.
    MakePointInTimeCopy(source, target);
    return false;
}

void StagingFolder::replaceWithCopy(const std::filesystem::path& source, const std::string& name) {
    const auto target = placeOf(folder_, name);
    std::error_code ec;
    std::filesystem::remove(target, ec);
    if (ec)
        throw std::runtime_error("the link " + target.string() +
                                 " cannot be removed: " + ec.message());
    MakePointInTimeCopy(source, target);
}

} // namespace trelmig
