#pragma once

#include "archive/ZipArchive.h"
#include "core/Error.h"
#include "mailstore/MailStore.h"
#include "platform/AnsiCodec.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace trelmig {

// One data file (.pst or .ost) held by a backup.
struct BackupDataFile {
    std::string entryName;   // the archive's entry
    std::string displayName; // what the user sees it called
    std::uint64_t size = 0;  // uncompressed
    // It can be looked into in place; else it is extracted first.
    bool randomAccess = false;
};

// The data files of the open archive: the entries its information file lists
// for the data-file item ("BackupDatas", entry names separated as the
// information file separates them), in that order; names the archive does
// not hold are left out.
std::vector<BackupDataFile> BackupDataFiles(const ZipArchive& zip,
                                            const std::string& dataFileEntries);

// Opens a data file of the backup at archivePath for reading. One that can be
// read in parts is read where it lies, only the parts the reading needs
// decoded. Any other is extracted once into workFolder (the run's private
// folder) and read from there; the extracted copy goes when the store does.
// Fails when the archive cannot be opened, the password is refused, the
// extraction fails or libpff cannot read the data file.
Result<std::unique_ptr<MailStore>> OpenBackupDataFile(const std::string& archivePath,
                                                      const BackupDataFile& file,
                                                      const std::string& password,
                                                      const std::filesystem::path& workFolder,
                                                      const AnsiCodec& ansi = AnsiCodec());

} // namespace trelmig
