#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace trelmig {

// Writes a file from start to end and asks the disk to start writing each
// stretch of 8 MiB while more is produced, so that a flush before the file is
// relied on waits only for the last stretch. The request is only a request: a
// failure to write shows in that flush.
class SequentialWrites {
public:
    // Writes all of data to fd; false (errno set) on failure.
    bool write(int fd, const void* data, std::size_t length);
    void reset() { written_ = writeBackFrom_ = 0; }

private:
    std::uint64_t written_ = 0;
    std::uint64_t writeBackFrom_ = 0; // where the disk was last asked to start writing
};

// A new version of a file, written beside it and renamed over it only once it
// is complete and on disk, so the file is always either the old or the new one.
// Paths are host paths. Failures throw std::runtime_error naming the file and
// the reason.
class SideFile {
public:
    // The new file will be "<prefix>XXXXXX" (X random letters and digits) in
    // the target's folder; the default prefix is sidePrefix(target's name).
    explicit SideFile(std::string targetPath, std::string prefix = {});
    // Removes the new file unless it was committed.
    ~SideFile();
    SideFile(const SideFile&) = delete;
    SideFile& operator=(const SideFile&) = delete;

    // Creates the new file, empty, exclusively, with the mode new files get,
    // and holds a lock on it until it is committed or discarded, so that
    // removeLeftovers() never takes a file another run is still writing.
    void create();
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    const std::string& folder() const { return folder_; }
    void write(const void* data, std::size_t length);
    // Closes the descriptor, for files that others write by path or that wait
    // long for their commit.
    void close();
    // Flushes the new file to disk, gives it the mode of the file it
    // replaces, renames it over the target and flushes the folder.
    // flush false leaves both flushes to the caller (one flush of the file
    // system for many files: see flushFileSystem).
    void commit(bool flush = true);
    // Removes the new file.
    void discard();
    // ".<name>.trelmig-": how the files beside a target begin, so that the
    // leftovers of a killed run can be recognised.
    static std::string sidePrefix(const std::string& targetFileName);
    // Removes the new files of the target that killed runs left behind (those
    // no live SideFile holds). Returns how many were removed.
    static std::size_t removeLeftovers(const std::string& targetPath);

private:
    [[noreturn]] static void fail(const std::string& what, int err);

    std::string target_;
    std::string folder_;
    std::string prefix_;
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
    SequentialWrites writes_;
};

// Creates a new empty file "<folder>/<prefix>XXXXXX" exclusively, with the
// mode new files get (0666 less the umask). Returns its descriptor and sets
// path; -1 with errno set on failure.
int createSideFile(const std::string& folder, const std::string& prefix, std::string& path);

// Six random letters and digits: how the name of every file written beside
// another ends.
std::string sideSuffix();

// Whether name ends with marker followed by such six letters and digits.
bool endsWithSideSuffix(std::string_view name, std::string_view marker);

// Writes all of data to fd; false (errno set) on failure.
bool writeFully(int fd, const void* data, std::size_t length);

// Flushes everything written to the file system holding path to disk.
bool flushFileSystem(const std::string& path);

// Flushes one file's content and size to disk.
bool flushFile(const std::string& path);

// Flushes a folder's entries (a rename in it) to disk.
bool syncFolder(const std::string& folder);

} // namespace trelmig
