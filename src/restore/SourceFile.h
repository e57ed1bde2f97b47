#pragma once

#include "core/ItemCatalogue.h"

#include <string>

namespace trelmig {

class AnsiCodec;
class Environment;
struct Session;
class ZipArchive;
class Prompter;
class PasswordPrompt;

// What the restore tab shows after a backup file was chosen.
struct InspectionResult {
    bool accepted = false;   // a valid backup is loaded (bNoSourceFile is false)
    std::string sourceFile;  // txtSourceFile; empty when the password was refused
    std::string facts;       // txtPOBinfo: five lines joined by CR LF
    std::string description; // txtFileInfo
    ItemSelection restoreEnabled{};
    // The password typed did not open the file (or the file is damaged):
    // worth asking again.
    bool passwordRefused = false;
};

// Opens the chosen backup file, asks for its password when it is protected,
// reads its information file and tells which items can be restored. The
// archive stays open in zip for the restore. Messages go to prompter. A
// cancelled password prompt ends the inspection without a message.
InspectionResult InspectBackupFile(Environment& env, ZipArchive& zip, Prompter& prompter,
                                   PasswordPrompt& passwords, const std::string& chosenFile);
// The same with no prefix behind it: the session's information file path and
// the code page of the archive's texts are all it needs.
InspectionResult InspectBackupFile(Session& session, const AnsiCodec& ansi, ZipArchive& zip,
                                   Prompter& prompter, PasswordPrompt& passwords,
                                   const std::string& chosenFile);

} // namespace trelmig
