#pragma once

#include "platform/RegistryBackend.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace trelmig {

// One registry hive file of a Windows installation (NTUSER.DAT, SOFTWARE,
// SYSTEM), read with hivex and never written: the file is opened read-only.
// Keys are addressed by paths below the hive's root, names compared without
// regard to case.
class WindowsHive {
public:
    // Throws RegistryError naming the file when hivex cannot read it.
    explicit WindowsHive(const std::filesystem::path& file);
    ~WindowsHive();
    WindowsHive(const WindowsHive&) = delete;
    WindowsHive& operator=(const WindowsHive&) = delete;

    const std::filesystem::path& file() const { return file_; }

    // The key's node; nullopt when it does not exist. The empty path is the root.
    std::optional<std::size_t> find(const std::string& path) const;
    std::vector<std::string> subkeys(std::size_t node) const;
    std::vector<RegValue> values(std::size_t node) const;
    std::optional<RegValue> value(std::size_t node, const std::string& name) const;

private:
    std::optional<std::size_t> child(std::size_t node, const std::string& name) const;
    RegValue valueOf(std::size_t value) const;

    std::filesystem::path file_;
    struct Handle;
    std::unique_ptr<Handle> handle_;
    mutable std::unordered_map<std::string, std::optional<std::size_t>> found_; // by folded path
};

} // namespace trelmig
