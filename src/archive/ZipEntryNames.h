#pragma once

#include "platform/AnsiCodec.h"

#include <string>
#include <string_view>

namespace trelmig {

// An entry name read from an archive, decoded to UTF-8.
struct ZipEntryName {
    std::string text;        // the reading shown and compared first
    std::string alternative; // another plausible reading, or empty
};

// Decodes an entry name. raw: the bytes as stored; strict: libzip's strict
// reading (ZIP_FL_ENC_STRICT), which equals raw when the entry carries the
// UTF-8 flag (or Info-ZIP's Unicode path field) and is raw read as CP437
// otherwise. Unflagged names come from Windows and are in its ANSI code page;
// when such bytes also form valid UTF-8 (Linux tools that set no flag), that
// reading is kept as the alternative.
ZipEntryName decodeEntryName(const std::string& raw, const std::string& strict,
                             const AnsiCodec& ansi);

// The name under which a host file is stored: the text after the last '/',
// with bytes that are not UTF-8 taken as Latin-1 so the name is valid UTF-8.
std::string bareEntryName(const std::string& hostPath);

bool isAscii(std::string_view text);

// Why a stored entry name cannot be restored as a file name: it holds a
// control character (shown as \xNN). Empty when it can.
std::string entryNameProblem(std::string_view raw);

} // namespace trelmig
