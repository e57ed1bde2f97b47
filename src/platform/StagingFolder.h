#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace trelmig {

// A folder whose files are the entries of a version under their entry names,
// for a program that reads a folder as it is (borg create). Each file is a
// hard link to its source where the two share a file system, else a copy
// (a reflink clone where the file system makes one): a multi-gigabyte data
// file, already a point-in-time copy, is never copied twice. Never a
// symbolic link, which borg would store as a link. Removed with what it holds
// when the object goes.
class StagingFolder {
public:
    // Throws std::runtime_error when the folder cannot be made.
    explicit StagingFolder(std::filesystem::path folder);
    // The folder at the same place run after run, held by one run at a time
    // (a lock beside it): nullptr when another run holds it or it cannot be
    // made.
    static std::unique_ptr<StagingFolder> TakeShared(const std::filesystem::path& folder);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Puts source into the folder as `name`: true when as a hard link, which
    // shows every later write of the source. Throws std::runtime_error naming
    // the file and the reason.
    bool add(const std::filesystem::path& source, const std::string& name);
    // Puts a point-in-time copy of source in the place of `name`'s link.
    void replaceWithCopy(const std::filesystem::path& source, const std::string& name);
    const std::filesystem::path& path() const { return folder_; }

private:
    std::filesystem::path folder_;
    int lock_ = -1;
};

} // namespace trelmig
