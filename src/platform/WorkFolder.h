#pragma once

#include <filesystem>

namespace trelmig {

// The private folder of one run (mode 0700, "trelmig-run-XXXXXX" under $TMPDIR
// or /tmp): the information file and every temporary name live here, so two runs
// never share them. Removed with its content when the object goes. While the
// run lives it holds a lock on the folder, which tells a later run whether the
// folder's owner is gone.
class WorkFolder {
public:
    // Throws std::runtime_error when the folder cannot be created.
    WorkFolder();
    ~WorkFolder();

    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    WorkFolder(WorkFolder&& other) noexcept;
    WorkFolder& operator=(WorkFolder&& other) noexcept;

    // Empty after the folder was moved away.
    const std::filesystem::path& path() const { return path_; }

private:
    void remove() noexcept;

    std::filesystem::path path_;
    int lock_ = -1;
};

// Removes the work folders that runs killed before they could clean up left
// behind (they may hold plaintext registry exports): only folders named as
// ours, of this user, older than this process and whose owner lock nobody
// holds. Folders of older versions, named "trelmig-XXXXXX", are left alone.
void RemoveStaleWorkFolders();

} // namespace trelmig
