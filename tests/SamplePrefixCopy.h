#pragma once

#include "platform/WorkFolder.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The committed sample prefixes: Outlook 2010 on a 32-bit Windows 7, and a
// 32-bit Outlook 2016 on a 64-bit Windows 10.
inline const std::filesystem::path kSamplePrefix2010 = TRELMIG_SAMPLE_PREFIX;
inline const std::filesystem::path kSamplePrefix2016 = TRELMIG_SAMPLE_PREFIX_2016;

// A fresh copy of a sample prefix in a private folder, removed afterwards.
struct SamplePrefixCopy {
    trelmig::WorkFolder work;
    std::filesystem::path root = work.path() / "prefix";
    std::string user = "sam"; // whose folder below drive_c\users holds the profiles' files

    explicit SamplePrefixCopy(const std::filesystem::path& sample = kSamplePrefix2010) {
        std::filesystem::copy(sample, root,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::copy_symlinks);
    }
    // Starts again from another sample.
    void copyOf(const std::filesystem::path& sample) {
        std::filesystem::remove_all(root);
        std::filesystem::copy(sample, root,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::copy_symlinks);
    }
    std::filesystem::path driveC() const { return root / "drive_c"; }
    std::filesystem::path userFolder() const { return driveC() / "users" / user; }
};

inline std::string readWholeFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
