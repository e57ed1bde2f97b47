#pragma once

#include "core/WorkerPool.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace trelmig {

// The old versions of large restored files. Renaming a new file over a large
// old one makes the kernel free the old one there and then, which takes a
// while; keeping the old one alive under a second name first lets the rename
// return at once and the old one be removed on a thread of its own (a
// one-thread pool) while the restore goes on. The second names are those of leftover extractions,
// so a killed run's are removed by the next restore of that folder.
class RetiredFiles {
public:
    RetiredFiles() = default;
    ~RetiredFiles();
    RetiredFiles(const RetiredFiles&) = delete;
    RetiredFiles& operator=(const RetiredFiles&) = delete;

    // Gives target, when it is a large plain file, the second name retired;
    // false when it was left alone (small, missing, or the file system has
    // no hard links), the rename then freeing it as usual.
    bool keep(const std::filesystem::path& target, const std::filesystem::path& retired);
    // Removes the files kept so far on the thread.
    void removeKept();
    // Waits until the files handed to the thread are removed.
    void wait();

private:
    std::vector<std::filesystem::path> kept_;
    std::optional<WorkerPool> remover_; // started by the first removal
};

} // namespace trelmig
