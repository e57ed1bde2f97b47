#pragma once

#include "registry/RegistryKeys.h"

#include <stdexcept>
#include <string>

namespace trelmig {

// Registry subtrees travel inside backup archives as registry text: one line
// per key ("\" for the exported key, "\Sub\Deeper" below it) and one line per
// value ("name" + "= sz:", "=esz:", "=bin:" or "= dw:" + data), CR LF, in the
// ANSI code page, nothing escaped. Archives made by the Windows program use
// the same text, so both directions must stay byte-compatible.

// An import file that cannot be understood. Thrown only to the item
// operations, which turn it into failure of their item.
class RegistryTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the key line (relativeName, or "\" when it is empty), the key's
// values and then every subkey, depth first. The top call (empty
// relativeName) deletes an existing file first; deeper calls append. A key
// that cannot be opened still gets its key line. Fails for a binary value
// over 32767 bytes (nothing is written then) and when the file cannot be
// written.
Result<void> ExportRegTree(RegistryKeys& reg, const std::string& keyPath,
                           const std::string& relativeName, const std::string& filePath);

// The same export in UTF-8 behind a byte-order mark, written (over filePath)
// only when some name or text of the tree is not ASCII: true then. Readers
// that know it import it instead of the ANSI text, which another code page
// reads otherwise and whose characters its own cannot hold are "?"; the
// import below takes either.
Result<bool> ExportRegTreeUnicode(RegistryKeys& reg, const std::string& keyPath,
                                  const std::string& filePath);

// Appends the value lines of one key; a key that cannot be opened leaves the
// file untouched. Only REG_SZ, REG_EXPAND_SZ, REG_BINARY and REG_DWORD are
// written. Fails as ExportRegTree does.
Result<void> ExportRegValues(RegistryKeys& reg, const std::string& keyPath,
                             const std::string& filePath);

// Replaces the subtree of targetKeyPath by the one in the file. The whole file
// is read and checked first: a malformed line throws RegistryTextError naming
// its number and changes nothing. Then the changes are applied and saved in
// one save of the registry; if that fails, they are reverted and the error
// (naming the registry file) returned, so the registry is as it was. With
// save false the changes stay in memory for the caller to save (or revert)
// with its own.
Result<void> ImportRegText(RegistryKeys& reg, const std::string& targetKeyPath,
                           const std::string& filePath, bool save = true);

} // namespace trelmig
