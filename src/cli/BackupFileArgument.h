#pragma once

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "restore/SourceFile.h"

#include <memory>
#include <string>

namespace trelmig {

struct CommandLine;

// A backup file named on the command line, inspected as the restore tab does:
// the password comes from --password-file, else from the terminal.
struct InspectedBackupFile {
    std::unique_ptr<Environment> env;
    std::unique_ptr<ZipArchive> zip;
    InspectionResult result;
};

InspectedBackupFile InspectBackupFileArgument(const CommandLine& cmd, Prompter& prompter);

// The same for a look into the file alone: no prefix is needed. The texts of
// the file are read in the code page of the prefix when there is one at hand,
// else in 1252.
InspectionResult InspectBackupFileAlone(const CommandLine& cmd, Prompter& prompter);

} // namespace trelmig
