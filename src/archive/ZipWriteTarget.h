#pragma once

#include <cstddef>
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
    // temporary file. False (see error()) when the folder is missing or not
    // writable, or another writer holds the lock.
    bool begin();
    const std::string& tempPath() const { return tempPath_; }
    // Flushes the finished temporary file to disk, gives it the mode of the
    // archive it replaces, renames it over the target and flushes the folder.
    bool commit();
    const std::string& error() const { return error_; }

    // Name prefix shared by the lock and the temporary files of a target.
    static std::string sidePrefix(const std::string& targetFileName);

private:
    void removeLeftovers();
    void removeTemp();
    void releaseLock();

    std::string target_;
    std::string folder_;
    std::string prefix_; // ".<name>.trelmig-"
    std::string lockPath_;
    std::string tempPath_;
    int lockFd_ = -1;
    bool locked_ = false; // false on file systems without flock
    bool committed_ = false;
    std::string error_;
};

// Creates a new empty file "<folder>/<prefix>XXXXXX" (X random letters and
// digits) exclusively, with the mode new files get (0666 less the umask).
// Returns its descriptor and sets path; -1 with errno set on failure.
int createSideFile(const std::string& folder, const std::string& prefix, std::string& path);

// Writes all of data to fd; false (errno set) on failure.
bool writeFully(int fd, const void* data, std::size_t length);

// Flushes a folder's entries (a rename in it) to disk.
bool syncFolder(const std::string& folder);

} // namespace trelmig
