#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace trelmig {

// A user folder on a mounted Windows partition.
struct FoundWindowsUser {
    std::filesystem::path userFolder; // <partition>/Users/NAME, holding NTUSER.DAT
    std::filesystem::path partition;  // holds Windows/System32/config
};

// Where desktops and users mount partitions: /media/$USER and
// /run/media/$USER (each partition a folder there), and /mnt (a partition
// itself, or a folder of them).
std::vector<std::filesystem::path> WindowsMountPlaces();

// The user folders of the Windows partitions in those places (a place itself
// or a folder directly inside it), by partition and then by name; the
// accounts every Windows has ("Default", "Public", "All Users") are passed
// over, and so are folders that cannot be read.
std::vector<FoundWindowsUser> FindWindowsUsers(const std::vector<std::filesystem::path>& places);

} // namespace trelmig
