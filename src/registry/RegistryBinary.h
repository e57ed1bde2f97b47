#pragma once

#include "registry/RegistryKeys.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace trelmig {

// Outlook keeps the paths of a profile's data files inside binary values of
// its service sections ("01020fff", "001f6700"), as UTF-16 or single-byte
// text among other bytes. These operations find and replace such text.
// Values are looked up by their exact name (case counts) and must be
// REG_BINARY. Texts come and go in UTF-8.

// A binary value too large for these operations (over 32767 bytes). The item
// operations turn it into failure.
class RegistryBinaryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every byte in uppercase hex without leading zeros, joined by "="
// (0x0A 0x00 0xFF -> "A=0=FF"); nullopt for a missing key or value, another
// type, or a value of zero length.
std::optional<std::string> ReadRegBinaryHex(RegistryKeys& reg, const std::string& keyPath,
                                            const std::string& valueName);

// Replaces every occurrence of oldText stored as UTF-16 by newText as UTF-16;
// only when there is none, every occurrence stored as ANSI bytes by newText
// in ANSI. An occurrence counts only when at least one more byte follows it.
// The value is written back as REG_BINARY even when nothing changed, and left
// alone when it cannot be read. The change stays unsaved in the registry.
Result<void> ReplaceInRegBinary(RegistryKeys& reg, const std::string& keyPath,
                                const std::string& valueName, const std::string& oldText,
                                const std::string& newText);

// The file path at the end of the value read as UTF-16 text: from the drive
// letter before the last ":\", or from the last "\\", either standing at the
// third character or later; nullopt when there is none.
std::optional<std::string> ReadRegBinaryPath(RegistryKeys& reg, const std::string& keyPath,
                                             const std::string& valueName);

// The same search on the value's non-zero bytes read as ANSI text: finds a
// single-byte path, or a UTF-16 one of characters below 256.
std::optional<std::string> ReadRegBinaryPathNarrow(RegistryKeys& reg, const std::string& keyPath,
                                                   const std::string& valueName);

} // namespace trelmig

namespace trelmig {

// The data file path of a message store section: its entry identifier
// "01020fff" decoded wide first and, when that finds nothing, narrow; nullopt
// when neither finds a path.
std::optional<std::string> ReadStorePath(RegistryKeys& reg, const std::string& sectionKey);

// A data file that moved: the path the profile named and the one it has now.
struct MovedDataFile {
    std::string oldPath;
    std::string newPath;
};

// Points every value of the key and of all keys below it that names a moved
// data file at its new path: store entry identifiers and other binary values
// that carry the path (an account's "Delivery Store EntryID" among them) as
// UTF-16 text, else as ANSI text, and string values holding it. Other bytes
// stay as they were. Returns how many values changed; the changes stay
// unsaved.
std::size_t ReplaceDataFilePathsBelow(RegistryKeys& reg, const std::string& keyPath,
                                      const std::vector<MovedDataFile>& moved);

} // namespace trelmig
