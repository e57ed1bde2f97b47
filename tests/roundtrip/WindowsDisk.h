#pragma once

// The Windows PC a source prefix stands for, as it lies on its disk: the
// user's folder under Users\NAME with NTUSER.DAT, and Windows\System32\config
// with the SOFTWARE and SYSTEM hives, written with the hive fixture tool from
// the prefix's registry files and folders.
#include "OutlookPrefix.h"

#include <filesystem>
#include <map>
#include <string>

namespace roundtrip {

struct WrittenWindowsDisk {
    std::filesystem::path root;       // the partition
    std::filesystem::path userFolder; // root/Users/NAME
};

WrittenWindowsDisk writeWindowsDisk(const std::filesystem::path& prefix, const std::string& user,
                                    const std::filesystem::path& root);
inline WrittenWindowsDisk writeWindowsDisk(const WrittenPrefix& source, const PrefixSpec& setup,
                                           const std::filesystem::path& root) {
    return writeWindowsDisk(source.prefix, setup.user, root);
}

// Every file below folder by its relative path, with its SHA-256.
std::map<std::string, std::string> treeHashes(const std::filesystem::path& folder);

} // namespace roundtrip
