#pragma once

// Registry hive files as Windows writes them (regf), for the fixtures of a
// Windows disk: a minimal base hive written here byte by byte, filled through
// hivex's write API. Nothing of the program is used.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace hivefixture {

struct HiveValue {
    std::string name; // UTF-8, empty for the default value
    std::uint32_t type = 1;
    std::vector<unsigned char> data; // as Windows stores it (text in UTF-16LE with NUL)
};

struct HiveKey {
    std::string name; // UTF-8
    std::vector<HiveValue> values;
    std::vector<HiveKey> subkeys;

    // The key at path below this one ("a\b"), made when missing.
    HiveKey& at(const std::string& path);
};

// Writes the tree below root (root's own name is not stored) to file.
// Throws std::runtime_error when hivex refuses.
void WriteHive(const std::filesystem::path& file, const HiveKey& root);

// As Windows leaves a hive it was writing when it hibernated or shut down
// with Fast Startup: the secondary sequence number behind the primary, and a
// transaction log (NAME.LOG1) newer than the hive.
void MakeDirty(const std::filesystem::path& hive);

} // namespace hivefixture
