#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

#include <sys/types.h>

namespace trelmig {

// The source kept changing while it was copied, on every try.
class FileChangedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class CopyMethod {
    Clone,       // the file system shares the blocks (reflink)
    CheckedCopy, // read through, unchanged from start to end
};

// Writes `copy` (created, or emptied) with the content `source` had at one
// moment, while a program may be writing it: a reflink clone (FICLONE) where
// the file system can make one (btrfs, XFS with reflink, bcachefs), else a
// plain copy that counts only when the source's size, modification and
// change times (to the nanosecond), device and inode are the same before and
// after it, tried up to `tries` times. Host paths. Throws FileChangedError
// when the source changed during every try, std::runtime_error naming the
// file and the reason when no copy can be made (too little free space beside
// `copy`, a read or write error, `stopped` answering true between two
// megabytes of a copy); `copy` is removed then.
CopyMethod MakePointInTimeCopy(const std::filesystem::path& source,
                               const std::filesystem::path& copy, int tries = 3,
                               const std::function<bool()>& stopped = {});

// What tells whether a file was written since: a write moves its times, a
// replacement its inode.
struct FileMoment {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0, changedNs = 0;
    bool operator==(const FileMoment&) const = default;
};

// The file's moment, taken once the file system's clock has moved past its
// last write (a write within the tick its times carry would not move them).
// Throws std::runtime_error naming the file when it cannot be read.
FileMoment FileMomentOf(const std::filesystem::path& file);

// The point-in-time copies of one backup, each under its source's own file
// name in a folder of its own below `folder`; the folder and every copy in
// it go when the object goes.
class PointInTimeCopies {
public:
    explicit PointInTimeCopies(std::filesystem::path folder);
    ~PointInTimeCopies();
    PointInTimeCopies(const PointInTimeCopies&) = delete;
    PointInTimeCopies& operator=(const PointInTimeCopies&) = delete;

    // The copy of source, named `name` (the source's own name when empty),
    // made at the first call for that file (the same file reached by two
    // paths is copied once).
    std::filesystem::path copyOf(const std::filesystem::path& source, const std::string& name = {});
    // Asked while a file is copied: true stops the copy (the user cancelled).
    void setStop(std::function<bool()> stopped) { stopped_ = std::move(stopped); }
    // How the copies were made, by source path.
    const std::map<std::string, CopyMethod>& methods() const { return methods_; }

private:
    std::filesystem::path folder_;
    std::map<std::pair<unsigned long, unsigned long>, std::filesystem::path> copies_;
    std::map<std::string, CopyMethod> methods_;
    int made_ = 0; // folders made below folder_
    std::function<bool()> stopped_;
};

} // namespace trelmig
