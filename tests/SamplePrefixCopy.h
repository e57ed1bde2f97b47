#pragma once

#include "platform/WorkFolder.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A fresh copy of the sample prefix in a private folder, removed afterwards.
struct SamplePrefixCopy {
    trelmig::WorkFolder work;
    std::filesystem::path root = work.path() / "prefix";

    SamplePrefixCopy() {
        std::filesystem::copy(TRELMIG_SAMPLE_PREFIX, root,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::copy_symlinks);
    }
    std::filesystem::path driveC() const { return root / "drive_c"; }
    std::filesystem::path userFolder() const { return driveC() / "users" / "sam"; }
};

inline std::string readWholeFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
