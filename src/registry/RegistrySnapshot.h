#pragma once

#include "core/Error.h"

#include <string>

namespace trelmig {

class RegistryKeys;

// A key kept as text, the way Wine writes its registry files, so that a
// change can be taken back later. Key paths are full ("HKEY_CURRENT_USER\..."),
// below a root key; names and data are kept whole, whatever they hold.

// The key with its values and subkeys, or only the value named (the key
// alone when the key has no such value).
Result<std::string> KeySnapshot(RegistryKeys& reg, const std::string& keyPath,
                                const std::string* onlyValue = nullptr);

// Whether the key has that value.
bool HasRegValue(RegistryKeys& reg, const std::string& keyPath, const std::string& valueName);

// Deletes the key with its subkeys and, given a snapshot of it (the text and
// the name of the file it was read from, for messages), makes it again as the
// snapshot has it. In memory only: the caller saves.
Result<void> PutBackKey(RegistryKeys& reg, const std::string& keyPath, const std::string* snapshot,
                        const std::string& snapshotName);

// Given a snapshot of one value of the key, makes the key if it is gone and
// sets the value as kept; without one, deletes the value if the key has it.
// In memory only: the caller saves.
Result<void> PutBackValue(RegistryKeys& reg, const std::string& keyPath,
                          const std::string& valueName, const std::string* snapshot,
                          const std::string& snapshotName);

} // namespace trelmig
