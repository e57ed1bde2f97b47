#include "restore/StagedFiles.h"

#include "platform/SideFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

bool isPlainFile(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

StagedFiles::~StagedFiles() {
    std::error_code ec;
    for (const auto& [place, target] : files_)
        fs::remove(place, ec);
}

const fs::path& StagedFiles::add(const fs::path& target) {
    files_.emplace_back(leftoverName(target), target);
    return files_.back().first;
}

fs::path StagedFiles::leftoverName(const fs::path& target) {
    return target.parent_path() /
           (SideFile::sidePrefix(target.filename().string()) + "x-" + sideSuffix());
}

void StagedFiles::putBack(const std::vector<Replaced>& replaced) {
    for (auto it = replaced.rbegin(); it != replaced.rend(); ++it) {
        if (it->oldVersion.empty())
            ::unlink(it->target.c_str());
        else
            ::rename(it->oldVersion.c_str(), it->target.c_str());
    }
}

Result<void> StagedFiles::commit(RetiredFiles& retired) {
    if (files_.empty())
        return {};
    std::vector<fs::path> folders;
    for (const auto& file : files_)
        if (std::find(folders.begin(), folders.end(), file.second.parent_path()) == folders.end())
            folders.push_back(file.second.parent_path());
    // The new files reach the disk before any replaces an old one: a few
    // one by one, many with one flush of each file system (which also waits
    // for whatever else is being written there).
    constexpr std::size_t kFlushedOneByOne = 8;
    const auto flushed = [&] {
        if (files_.size() > kFlushedOneByOne)
            return std::all_of(folders.begin(), folders.end(), [](const fs::path& folder) {
                return flushFileSystem(folder.string());
            });
        return std::all_of(files_.begin(), files_.end(),
                           [](const auto& file) { return flushFile(file.first.string()); });
    };
    if (!flushed())
        return Fail("the restored files cannot be flushed to disk in " + folders.front().string());
    // Every old version keeps a second name until all new files are in, so
    // that a rename that fails half way can put the old ones back.
    std::vector<Replaced> replaced;
    replaced.reserve(files_.size());
    for (std::size_t done = 0; done < files_.size(); ++done) {
        const auto& [staged, target] = files_[done];
        Replaced entry{target, {}, false};
        if (isPlainFile(target)) {
            entry.oldVersion = leftoverName(target);
            // Large old files are freed later on a thread of their own.
            entry.retiredLater = retired.keep(target, entry.oldVersion);
            // A file system without hard links gets a copy instead.
            std::error_code copied;
            if (!entry.retiredLater && ::link(target.c_str(), entry.oldVersion.c_str()) != 0 &&
                !fs::copy_file(target, entry.oldVersion, copied)) {
                ::unlink(entry.oldVersion.c_str());
                putBack(replaced);
                return Fail("cannot keep the old version of " + target.string() +
                            " while it is replaced: " + copied.message() + "; nothing was changed");
            }
        }
        if (::rename(staged.c_str(), target.c_str()) != 0) {
            const int err = errno;
            if (!entry.oldVersion.empty())
                ::unlink(entry.oldVersion.c_str());
            putBack(replaced);
            return Fail("cannot put " + target.string() + " in place: " +
                        std::generic_category().message(err) + "; nothing was changed");
        }
        replaced.push_back(std::move(entry));
    }
    files_.clear();
    for (const Replaced& r : replaced)
        if (!r.oldVersion.empty() && !r.retiredLater)
            ::unlink(r.oldVersion.c_str());
    retired.removeKept();
    for (const fs::path& folder : folders)
        if (!syncFolder(folder.string()))
            return Fail("the restored files are in place, but the folder " + folder.string() +
                        " could not be flushed to disk");
    return {};
}

Result<void> StagedFiles::commitBesideOthers() {
    for (const auto& [staged, target] : files_)
        if (!flushFile(staged.string()))
            return Fail("the new file cannot be flushed to disk in " +
                        target.parent_path().string());
    std::vector<fs::path> placed;
    const auto undo = [&placed] {
        for (const fs::path& target : placed)
            ::unlink(target.c_str());
    };
    for (const auto& [staged, target] : files_) {
        int moved =
            ::renameat2(AT_FDCWD, staged.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        // A file system that cannot rename without replacing: a hard link
        // is refused where the name is taken all the same.
        if (moved != 0 && (errno == EINVAL || errno == ENOSYS)) {
            moved = ::link(staged.c_str(), target.c_str());
            if (moved == 0)
                ::unlink(staged.c_str());
        }
        if (moved != 0) {
            const int err = errno;
            undo();
            return Fail("cannot put " + target.string() +
                        " in place: " + std::generic_category().message(err));
        }
        placed.push_back(target);
    }
    files_.clear();
    for (const fs::path& target : placed)
        if (!syncFolder(target.parent_path().string()))
            return Fail("the new file is in place, but the folder " +
                        target.parent_path().string() + " could not be flushed to disk");
    return {};
}

} // namespace trelmig
