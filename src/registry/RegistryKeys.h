#pragma once

#include "core/Prompter.h"
#include "platform/AnsiCodec.h"
#include "platform/RegistryBackend.h"

#include <string>
#include <vector>

namespace trelmig {

// The program's one road to the registry: every operation takes a full key
// path ("HKEY_CURRENT_USER\Software\Microsoft\Office"), does one thing and
// keeps nothing open. Reading operations answer kRegError instead of a value.
class RegistryKeys {
public:
    RegistryKeys(RegistryBackend& registry, Prompter& prompter, const AnsiCodec& ansi);

    static RootKey RootKeyFromName(const std::string& rootName);
    // Replaces path by its sub path and returns the root key; a malformed path
    // (not starting with "HKEY_", or ending in "\") is reported to the user
    // and gives RootKey::None.
    RootKey SplitRegPath(std::string& path);

    bool RegKeyExists(const std::string& keyPath);
    std::string ReadRegString(const std::string& keyPath, const std::string& valueName);
    void WriteRegString(const std::string& keyPath, const std::string& valueName,
                        const std::string& text);
    void DeleteRegValue(const std::string& keyPath, const std::string& valueName);
    long DeleteRegKey(const std::string& keyPath);
    void DeleteRegTree(const std::string& keyPath);
    // Subkey names in enumeration order; empty when the key cannot be read.
    std::vector<std::string> EnumRegSubkeys(const std::string& keyPath);

    RegistryBackend& backend() { return registry_; }
    Prompter& prompter() { return prompter_; }
    const AnsiCodec& ansi() const { return ansi_; }

private:
    RegistryBackend& registry_;
    Prompter& prompter_;
    const AnsiCodec& ansi_;
};

inline constexpr const char* kRegError = "Error";

// Blanks trimmed from both ends (spaces only, as the program always did).
std::string TrimBlanks(const std::string& s);

} // namespace trelmig
