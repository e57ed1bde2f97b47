#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// A Windows user folder to back up from, on a mounted Windows partition or
// copied away from one, and the files that stand for its registry.
struct WindowsSource {
    std::filesystem::path userFolder;
    // The partition holding Windows\System32\config, when it is there.
    std::optional<std::filesystem::path> systemDrive;
    std::filesystem::path userHive; // NTUSER.DAT
    std::optional<std::filesystem::path> softwareHive;
    std::optional<std::filesystem::path> systemHive;

    std::string userName() const { return userFolder.filename().string(); }

    // Finds the hives, each name matched without regard to case. The
    // partition is the one named, else the folder two levels above the user
    // folder when it holds Windows\System32\config. Throws std::runtime_error
    // when the folder holds no NTUSER.DAT.
    static WindowsSource Open(const std::filesystem::path& userFolder,
                              const std::optional<std::filesystem::path>& windowsRoot);
};

// Whether a folder is the root of a Windows partition: it holds
// Windows\System32\config (names matched without regard to case).
std::optional<std::filesystem::path> WindowsConfigFolder(const std::filesystem::path& root);

// Why what is read may be older than what Windows last showed: a hive that
// Windows left dirty (Fast Startup or hibernation: its sequence numbers
// differ, or its .LOG1/.LOG2 files are newer than it), a partition mounted
// read-only because Windows is hibernated. One message for each, saying why
// and how to fix it; empty when all is well.
std::vector<std::string> WindowsSourceWarnings(const WindowsSource& source);

// True when the hive's two sequence numbers differ: Windows was writing it
// and did not finish (its logs hold the rest).
bool HiveSequenceDiffers(const std::filesystem::path& hive);

} // namespace trelmig
