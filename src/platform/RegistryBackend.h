#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// Value types as Windows numbers them.
enum RegType : std::uint32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_LINK = 6,
    REG_MULTI_SZ = 7,
    REG_QWORD = 11,
};

// Predefined root keys with their Windows handle numbers.
enum class RootKey : std::uint32_t {
    None = 0,
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
    PerformanceData = 0x80000004u,
    CurrentConfig = 0x80000005u,
    DynData = 0x80000006u,
};

// Windows status codes the registry layer speaks.
enum RegStatus : long {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_MORE_DATA = 234,
    ERROR_NO_MORE_ITEMS = 259,
};

bool isStringType(std::uint32_t type);

// One registry value. Names are UTF-8. The data of string types
// (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) is UTF-8 text including whatever
// NUL terminators are stored; the data of every other type is raw bytes.
struct RegValue {
    std::string name;
    std::uint32_t type = REG_NONE;
    std::vector<std::uint8_t> data;

    bool operator==(const RegValue&) const = default;
};

// The registry as RegistryKeys sees it: keys addressed by a root and a sub path
// ("Software\\Microsoft", empty for the root itself), names compared without
// regard to case. Changes stay in memory until save().
class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;

    // True when the key exists (opens for reading).
    virtual bool keyExists(RootKey root, const std::string& subPath) const = 0;
    // Name of the index-th subkey in enumeration order; nullopt past the end or
    // when the key does not exist.
    virtual std::optional<std::string> subkeyAt(RootKey root, const std::string& subPath,
                                                std::size_t index) const = 0;
    // The index-th value in enumeration order; nullopt past the end or when the
    // key does not exist.
    virtual std::optional<RegValue> valueAt(RootKey root, const std::string& subPath,
                                            std::size_t index) const = 0;
    virtual std::optional<RegValue> queryValue(RootKey root, const std::string& subPath,
                                               const std::string& name) const = 0;

    // The key must exist; the value is created or replaced.
    virtual RegStatus setValue(RootKey root, const std::string& subPath, const RegValue& value) = 0;
    virtual RegStatus deleteValue(RootKey root, const std::string& subPath,
                                  const std::string& name) = 0;
    // Deletes a key without subkeys; refuses (ERROR_ACCESS_DENIED) a key that
    // still has some, as Windows does.
    virtual RegStatus deleteKey(RootKey root, const std::string& subPath) = 0;
    // Creates the key and any missing parents; succeeds when it exists already.
    virtual RegStatus createKey(RootKey root, const std::string& subPath) = 0;

    // Writes every change made since the last save or revert, all or nothing
    // per registry file. Throws RegistryError with a message for the user when
    // it cannot (Wine running, file changed on disk, disk full).
    virtual void save() = 0;
    // Drops every change made since the last save.
    virtual void revert() = 0;
};

} // namespace trelmig
