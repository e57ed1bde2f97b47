#pragma once

#include "core/Error.h"

#include <chrono>
#include <string>

namespace trelmig {

class Environment;
class WinFiles;
class ZipArchive;

// The Windows folder a data file of the backup is recovered into: the one a
// restore puts it in, in the open prefix, beside the live data file.
std::string RecoveryFolder(Environment& env, const std::string& dataFile);

// "NAME (recovered YYYY-MM-DD).EXT" for the data file NAME.EXT; from the
// second try on " (2)", " (3)", ... before the extension.
std::string RecoveredName(const std::string& dataFile, std::chrono::year_month_day day,
                          int attempt);

// Writes the whole data file from the open backup zip into windowsFolder
// under the first free RecoveredName (made when missing), never over a
// file: extracted to a staging name there, flushed, then renamed only where
// nothing is under the name yet. Answers the Windows path of the new file.
Result<std::string> RecoverDataFile(WinFiles& files, ZipArchive& zip,
                                    const std::string& windowsFolder, const std::string& dataFile,
                                    std::chrono::year_month_day day);

} // namespace trelmig
