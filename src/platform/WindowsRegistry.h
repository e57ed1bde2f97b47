#pragma once

#include "platform/RegistryBackend.h"
#include "platform/WindowsHive.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace trelmig {

// The registry of a Windows installation that is not running, read from its
// hive files: HKEY_CURRENT_USER is the user's NTUSER.DAT, HKEY_LOCAL_MACHINE
// the SOFTWARE and SYSTEM hives when the disk is there (CurrentControlSet is
// the control set the SYSTEM hive marks current), HKEY_CLASSES_ROOT
// HKCU\Software\Classes over HKLM\Software\Classes. HKCU\Volatile Environment,
// which Windows makes at logon, holds the user's name and folders. Read-only:
// every change is refused with ERROR_ACCESS_DENIED.
class WindowsRegistry : public RegistryBackend {
public:
    struct Files {
        std::filesystem::path user; // NTUSER.DAT
        std::optional<std::filesystem::path> software;
        std::optional<std::filesystem::path> system;
        std::string userName; // the user folder's name
    };
    // Throws RegistryError when a hive cannot be read.
    explicit WindowsRegistry(const Files& files);

    bool keyExists(RootKey root, const std::string& subPath) const override;
    std::optional<std::string> subkeyAt(RootKey root, const std::string& subPath,
                                        std::size_t index) const override;
    std::optional<RegValue> valueAt(RootKey root, const std::string& subPath,
                                    std::size_t index) const override;
    std::optional<RegValue> queryValue(RootKey root, const std::string& subPath,
                                       const std::string& name) const override;
    RegStatus setValue(RootKey, const std::string&, const RegValue&) override;
    RegStatus deleteValue(RootKey, const std::string&, const std::string&) override;
    RegStatus deleteKey(RootKey, const std::string&) override;
    RegStatus createKey(RootKey, const std::string&) override;
    // Nothing is ever changed, so there is nothing to write.
    void save() override {}
    void revert() override {}

private:
    // A key in one hive: the hive and its node.
    using Place = std::pair<const WindowsHive*, std::size_t>;
    // Where a key lives, in lookup order (HKEY_CLASSES_ROOT has two).
    std::vector<Place> places(RootKey root, const std::string& subPath) const;
    std::optional<Place> placeIn(const WindowsHive* hive, const std::string& path) const;
    std::vector<std::string> subkeys(RootKey root, const std::string& subPath) const;
    std::vector<RegValue> values(RootKey root, const std::string& subPath) const;
    bool isVolatileEnvironment(RootKey root, const std::string& subPath) const;

    std::unique_ptr<WindowsHive> user_;
    std::unique_ptr<WindowsHive> software_;
    std::unique_ptr<WindowsHive> system_;
    std::string currentControlSet_ = "ControlSet001";
    std::vector<RegValue> volatileEnvironment_;
    mutable std::map<std::pair<RootKey, std::string>, std::vector<std::string>> subkeyLists_;
    // Values are enumerated by index: the key read last is kept.
    mutable std::optional<std::pair<std::pair<RootKey, std::string>, std::vector<RegValue>>>
        lastValues_;
};

} // namespace trelmig
