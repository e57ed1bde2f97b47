#include "platform/StagingFolder.h"

#include "platform/PointInTimeCopy.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

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
    if (lock_ >= 0)
        ::close(lock_);
}

std::unique_ptr<StagingFolder> StagingFolder::TakeShared(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder.parent_path(), ec);
    std::filesystem::permissions(folder.parent_path(), std::filesystem::perms::owner_all, ec);
    const std::string lockName = folder.string() + ".lock";
    const int lock = ::open(lockName.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock < 0)
        return nullptr;
    if (::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        ::close(lock);
        return nullptr;
    }
    try {
        auto staging = std::make_unique<StagingFolder>(folder);
        staging->lock_ = lock;
        return staging;
    } catch (const std::exception&) {
        ::close(lock);
        return nullptr;
    }
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
