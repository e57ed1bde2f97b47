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

} // namespace trelmig
