#pragma once

#include <filesystem>

namespace trelmig {

// The private folder of one run (mode 0700, "trelmig-XXXXXX" under $TMPDIR or
// /tmp): the information file and every temporary name live here, so two runs
// never share them. Removed with its content when the object goes.
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
};

} // namespace trelmig
