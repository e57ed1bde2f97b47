#pragma once

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "restore/SourceFile.h"

#include <memory>
#include <string>

namespace trelmig {

struct CommandLine;
class PasswordPrompt;
class Prompter;

// A backup file named on the command line, inspected as the restore tab does:
// the password comes from --password-file, else from the terminal.
struct InspectedBackupFile {
    std::unique_ptr<Environment> env;
    std::unique_ptr<ZipArchive> zip;
    InspectedArchive result;
};

InspectedBackupFile InspectBackupFileArgument(const CommandLine& cmd, Prompter& prompter);

// The same for a look into the file alone: no prefix is needed. The texts of
// the file are read in the code page of the prefix when there is one at hand,
// else in 1252.
InspectedArchive InspectBackupFileAlone(const CommandLine& cmd, Prompter& prompter);

// The ANSI code page the texts inside a backup file are read in: that of the
// prefix when there is one at hand, else 1252.
unsigned CodePageAtHand(const CommandLine& cmd);

// The password of a protected backup file named on the command line: the
// first line of --password-file, else typed at the terminal without echo.
std::unique_ptr<PasswordPrompt> CommandLinePasswordPrompt(const CommandLine& cmd,
                                                          Prompter& prompter);

// The same for the passphrase of a repository.
std::unique_ptr<PasswordPrompt> CommandLinePassphrasePrompt(const CommandLine& cmd,
                                                            Prompter& prompter);

// What is wrong with the backup file and the password file the command line
// names, or "" when both are files (or no password file is named).
std::string BackupFileArgumentProblem(const CommandLine& cmd);

} // namespace trelmig
