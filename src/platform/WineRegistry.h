#pragma once

#include "platform/RegistryBackend.h"
#include "platform/WinePrefix.h"
#include "platform/WineRegistryFormat.h"

#include <array>
#include <filesystem>
#include <memory>

namespace trelmig {

// The registry of a Wine prefix, read from and written to its registry files:
// user.reg is HKEY_CURRENT_USER, system.reg HKEY_LOCAL_MACHINE, userdef.reg
// HKEY_USERS\.Default; HKEY_CLASSES_ROOT merges HKCU\Software\Classes over
// HKLM\Software\Classes. Changes live in memory until save().
class WineRegistry : public RegistryBackend {
public:
    // Loads the three files of the prefix; a missing file is an empty hive.
    // Throws RegistryError for a malformed file.
    explicit WineRegistry(const WinePrefix& prefix);
    // An empty registry with no files behind it (save() refuses).
    WineRegistry();
    ~WineRegistry() override;

    bool keyExists(RootKey root, const std::string& subPath) const override;
    std::optional<std::string> subkeyAt(RootKey root, const std::string& subPath,
                                        std::size_t index) const override;
    std::optional<RegValue> valueAt(RootKey root, const std::string& subPath,
                                    std::size_t index) const override;
    std::optional<RegValue> queryValue(RootKey root, const std::string& subPath,
                                       const std::string& name) const override;
    RegStatus setValue(RootKey root, const std::string& subPath, const RegValue& value) override;
    RegStatus deleteValue(RootKey root, const std::string& subPath,
                          const std::string& name) override;
    RegStatus deleteKey(RootKey root, const std::string& subPath) override;
    RegStatus createKey(RootKey root, const std::string& subPath) override;
    void save() override;
    void revert() override;
    // Reads the files again, dropping unsaved changes: what another program
    // wrote to them since shows. Throws RegistryError for a malformed file.
    void reload();

    bool hasUnsavedChanges() const;

private:
    enum HiveId { User = 0, System = 1, UserDefault = 2 };
    struct Hive {
        std::filesystem::path file;
        RegHive tree;
        std::string diskText; // the file's content when last loaded or saved
        bool existedOnDisk = false;
        bool dirty = false;
    };
    struct Location {
        Hive* hive = nullptr;
        RegNode* node = nullptr;
    };

    Location find(RootKey root, const std::string& subPath) const;
    Location findIn(Hive& hive, RegNode* from, std::u16string_view path) const;
    Location findIn(Hive& hive, RegNode* from, std::u16string_view path, int& linksLeft) const;
    // Where a new key under root/subPath goes.
    std::pair<Hive*, std::u16string> placeFor(RootKey root, const std::string& subPath) const;
    void touch(Hive& hive, RegNode& node);
    void loadHive(Hive& hive, const std::string& relativeTo);

    std::unique_ptr<WinePrefix> prefix_;
    mutable std::array<Hive, 3> hives_;
    std::u16string userSid_;
};

RegValue toRegValue(const RegNode::Value& v);
RegNode::Value fromRegValue(const RegValue& v);

} // namespace trelmig
