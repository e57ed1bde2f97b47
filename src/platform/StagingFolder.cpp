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

void StagingFolder::add(const std::filesystem::path& source, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        throw std::runtime_error("\"" + name + "\" is no file name of a version");
    const auto target = folder_ / name;
    std::error_code ec;
    std::filesystem::create_hard_link(source, target, ec);
    if (!ec)
        return;
    // Another file system (a file of the prefix on another disk): a copy,
    // taken as the file is at one moment.
    MakePointInTimeCopy(source, target);
}

} // namespace trelmig
