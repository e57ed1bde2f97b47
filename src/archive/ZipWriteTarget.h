#pragma once

#include "core/Error.h"
#include "platform/SideFile.h"

#include <string>

namespace trelmig {

// The archive file a write replaces, and the files beside it that make the
// replacement safe:
//   .<name>.trelmig-lock     held (flock) by the one writer at work
//   .<name>.trelmig-XXXXXX   the new archive until it is complete
// The target itself is only touched by the final rename. Temporary files a
// killed run left behind are recognised by their names and removed by the
// next writer of the same target, while it holds the lock.
class ZipWriteTarget {
public:
    explicit ZipWriteTarget(std::string targetPath);
    // Removes the temporary file unless committed, then releases the lock.
    ~ZipWriteTarget();
    ZipWriteTarget(const ZipWriteTarget&) = delete;
    ZipWriteTarget& operator=(const ZipWriteTarget&) = delete;

    // Takes the lock, removes leftovers of earlier runs and creates the
    // temporary file. Fails when the folder is missing or not writable, or
    // another writer holds the lock.
    Result<void> begin();
    const std::string& tempPath() const { return temp_.path(); }
    // Flushes the finished temporary file to disk (unless flush is false),
    // gives it the mode of the archive it replaces, renames it over the
    // target and flushes the folder.
    Result<void> commit(bool flush = true);

    // Name prefix shared by the lock and the temporary files of a target.
    static std::string sidePrefix(const std::string& targetFileName) {
        return SideFile::sidePrefix(targetFileName);
    }

private:
    void removeLeftovers();
    void releaseLock();

    std::string target_;
    std::string folder_;
    std::string prefix_; // ".<name>.trelmig-"
    std::string lockPath_;
    SideFile temp_;
    int lockFd_ = -1;
    bool locked_ = false; // false on file systems without flock
};

} // namespace trelmig
