#pragma once

#include "platform/AnsiCodec.h"
#include "platform/Utf.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trelmig {

// An entry name read from an archive, decoded to UTF-8.
struct ZipEntryName {
    std::string text;        // the reading shown and compared first
    std::string alternative; // another plausible reading, or empty
};

// Decodes an entry name. stored: the name as the directory gives it; utf8:
// the entry carries the UTF-8 flag (or Info-ZIP's Unicode path field, whose
// text stored is then). Unflagged names come from Windows and are in its ANSI
// code page; when such bytes also form valid UTF-8 (Linux tools that set no
// flag), that reading is kept as the alternative.
ZipEntryName decodeEntryName(const std::string& stored, bool utf8, const AnsiCodec& ansi);

// The name under which a host file is stored: the text after the last '/',
// with bytes that are not UTF-8 taken as Latin-1 so the name is valid UTF-8.
std::string bareEntryName(const std::string& hostPath);

// Why a stored entry name cannot be restored as a file name: it holds a
// control character (shown as \xNN). None when it can.
std::optional<std::string> entryNameProblem(std::string_view raw);

// The entry names of an item's list in the information file: split at ";",
// each trimmed of blanks; none for an empty list.
std::vector<std::string> splitEntryList(const std::string& list);

// Why a list of names meant for one folder cannot all be restored: two of
// them differ only in case, and Windows would make them one file. Empty when
// they can (the same name twice is one file, as meant).
std::optional<std::string> caseTwinProblem(const std::vector<std::string>& names);

} // namespace trelmig
