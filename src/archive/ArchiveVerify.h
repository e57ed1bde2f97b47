#pragma once

#include "platform/AnsiCodec.h"

#include <cstdint>
#include <functional>
#include <string>

namespace trelmig {

// What a read-back of a backup archive found.
struct ArchiveVerdict {
    enum class State {
        Sound,   // every entry decodes with its checks, every listed file is there
        Damaged, // an entry fails its checks, or the information file names a missing one
        Refused, // not readable as a backup archive at all, or the password is wrong
    };
    State state = State::Refused;
    std::string entry;  // the entry at fault, when one is
    std::string reason; // why, when not sound
};

// Reads the archive at archivePath (a host path) back through the restore's
// read path without writing anything: its directory, every entry decrypted,
// inflated and checked (CRC-32, and the authentication code of AES entries)
// on every processor core, and the information file's item lists against the
// entries: every file named under a flagged item key must be an entry.
// password: the archive's, empty for none. ansi: the code page the
// information file is written in. read, when given, is told as the read
// goes on the entry that began last and the bytes read of all entries; when
// it answers false the read stops and the archive is not sound.
using VerifyBytes =
    std::function<bool(const std::string& entry, std::uint64_t done, std::uint64_t total)>;
ArchiveVerdict VerifyArchive(const std::string& archivePath, const std::string& password,
                             const AnsiCodec& ansi, const VerifyBytes& read = {});

} // namespace trelmig
