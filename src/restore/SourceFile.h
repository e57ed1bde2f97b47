#pragma once

#include "core/ItemCatalogue.h"

#include <map>
#include <optional>
#include <string>

namespace trelmig {

class AnsiCodec;
class Environment;
class ZipArchive;
class Prompter;
class PasswordPrompt;

// What one inspection of a backup file found: what the restore tab shows, and
// all the restore and its confirmation need to know of the file besides the
// open archive. Each inspection makes a new one; nothing of an earlier file
// is left in it.
struct InspectedArchive {
    bool accepted = false;   // a valid backup: it can be restored from
    std::string path;        // txtSourceFile; empty when the password was refused
    std::string facts;       // txtPOBinfo: five lines joined by CR LF
    std::string description; // txtFileInfo
    ItemSelection restoreEnabled{};
    // The password typed did not open the file (or the file is damaged):
    // worth asking again.
    bool passwordRefused = false;
    // The password prompt was cancelled: the archive open before is still open.
    bool passwordCancelled = false;
    // The password that opened the file; empty when it is not protected.
    std::string password;

    // "BackupItem": one '0' or '1' per item record, in their order.
    std::string flags;
    // The entry names of each item the file holds, by item key ("BackupDatas").
    std::map<std::string, std::string> entries;
    // Whether the file holds its information file, and the pictures of its
    // HTML signatures that file names ("<folder>|<file>" entries).
    bool hasInfoFile = false;
    std::string signaturePictures;

    // Whether the file holds the item of that record.
    bool Holds(std::size_t record) const { return record < flags.size() && flags[record] == '1'; }
};

// Opens the chosen backup file, asks for its password when it is protected,
// reads its information file and tells which items can be restored. The
// archive stays open in zip for the restore. Messages go to prompter. The
// archive open in zip before stays open until the password is known to open
// the new one: a cancelled password prompt ends the inspection without a
// message and leaves it open, and so does a password that is refused. A
// passwordInUse (that of another version of the same backup) is tried
// before the user is asked.
InspectedArchive InspectBackupFile(Environment& env, ZipArchive& zip, Prompter& prompter,
                                   PasswordPrompt& passwords, const std::string& chosenFile,
                                   const std::optional<std::string>& passwordInUse = std::nullopt);
// The same with no prefix behind it: a scratch path for the information file
// and the code page of the archive's texts are all it needs.
InspectedArchive InspectBackupFile(const std::string& scratchInfoFile, const AnsiCodec& ansi,
                                   ZipArchive& zip, Prompter& prompter, PasswordPrompt& passwords,
                                   const std::string& chosenFile,
                                   const std::optional<std::string>& passwordInUse = std::nullopt);

} // namespace trelmig
