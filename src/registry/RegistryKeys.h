#pragma once

#include "core/Error.h"
#include "core/Prompter.h"
#include "platform/AnsiCodec.h"
#include "platform/RegistryBackend.h"

#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// The program's one road to the registry: every operation takes a full key
// path ("HKEY_CURRENT_USER\Software\Microsoft\Office"), does one thing and
// keeps nothing open. Reads answer nullopt when there is no value to give;
// changes stay in memory until Save, which is the one operation that touches
// the prefix's registry files.
class RegistryKeys {
public:
    RegistryKeys(RegistryBackend& registry, Prompter& prompter, const AnsiCodec& ansi);

    static RootKey RootKeyFromName(const std::string& rootName);
    // Replaces path by its sub path and returns the root key; a malformed path
    // (not starting with "HKEY_", or ending in "\") is reported to the user
    // and gives RootKey::None.
    RootKey SplitRegPath(std::string& path);

    bool RegKeyExists(const std::string& keyPath);
    // The text of a value, trimmed of blanks and cut at its first NUL; nullopt
    // for a malformed path, a missing key or value, or a text over 254 ANSI
    // bytes.
    std::optional<std::string> ReadRegString(const std::string& keyPath,
                                             const std::string& valueName);
    // Sets a REG_SZ value of a key that exists.
    Result<void> WriteRegString(const std::string& keyPath, const std::string& valueName,
                                const std::string& text);
    // Makes the key and the keys above it; succeeds when it is there already.
    Result<void> CreateRegKey(const std::string& keyPath);
    // Succeeds when the value is gone, also when it was never there.
    Result<void> DeleteRegValue(const std::string& keyPath, const std::string& valueName);
    // Deletes a key without subkeys; succeeds when the key is not there.
    Result<void> DeleteRegKey(const std::string& keyPath);
    // Deletes the key with everything below it; succeeds when it is not there.
    Result<void> DeleteRegTree(const std::string& keyPath);
    // Writes every change since the last save to the registry files. On
    // failure the changes are dropped, so the registry is as it was saved,
    // and the error names the file and the reason.
    Result<void> Save();
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

// Blanks trimmed from both ends (spaces only, as the program always did).
std::string TrimBlanks(const std::string& s);

} // namespace trelmig
