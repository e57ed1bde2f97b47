#pragma once

#include "archive/ZipFileList.h"
#include "archive/ZipWriteMode.h"
#include "core/Error.h"
#include "platform/AnsiCodec.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

class ZipEntryRandomReader;

// What the archive tells its user while it works. Every callback is optional
// and is called on the caller's thread.
struct ZipEvents {
    std::function<void(const std::string& fileName)> fileExtracting; // once per extracted file
    std::function<void(int percent)> writeProgress;                  // 0..100, repeatedly
    std::function<void(bool succeeded)> writeFinished;               // once per WriteZip
    // Asked repeatedly while an archive is written: true abandons the write,
    // which then fails and leaves the target as it was.
    std::function<bool()> writeCancelled;
    // While entries are extracted, repeatedly: the bytes written since the
    // last call. False stops the extraction, which then fails and leaves
    // none of its files behind.
    std::function<bool(std::uint64_t bytesWritten)> extractProgress;
    // While an archive is written, repeatedly: the entry whose data is being
    // compressed, and the bytes of all files compressed so far of their total.
    std::function<void(const std::string& entry, std::uint64_t bytesDone, std::uint64_t bytesTotal)>
        writeBytes;
};

// One entry of an opened archive.
struct ZipEntryInfo {
    std::string name;       // as stored, decoded to UTF-8
    std::uint64_t size = 0; // uncompressed
    bool encrypted = false;
    // Any part of it can be read without the rest (OpenRandomAccess).
    bool randomAccess = false;
};

// The entry a read-through of every entry found at fault.
struct ZipEntryFault {
    std::string entry;   // its name
    std::string message; // what failed, as an extraction reports it (most begin "<entry>: ")
    // It failed at a password check: the password, not the archive, is wrong.
    bool wrongPassword = false;
};

// Backup archives: a standard zip with every entry at the root under its bare
// file name; with a password every entry is encrypted with AES-256. Reading
// accepts AES and traditional PKWARE encryption, and entry names stored in the
// ANSI code page without the UTF-8 flag (archives made on Windows).
//
// Writing never destroys the previous archive at the target: the new one is
// written to a temporary file beside it, flushed to disk and renamed over the
// target only when complete. Paths here are host paths.
//
// Reading: one reading of the directory (ZipCentralDirectory) decides every
// entry, and an archive that it refuses, or that libzip would read otherwise,
// is not opened. Entries are decrypted (AES through OpenSSL), inflated and
// checked by our decoder, several at once (ZipEntryDecoder); entries it does
// not handle (traditional PKWARE encryption, bzip2) are read by libzip, one
// at a time, from the same list. No reader gives out more than an entry's
// stated size.
class ZipArchive {
public:
    explicit ZipArchive(const AnsiCodec& ansi, ZipEvents events = {});
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    void SetEvents(ZipEvents events);

    // --- writing
    // Writes the files as a new archive at targetPath, every entry encrypted
    // with AES-256 when password is not empty. Raises writeProgress and then
    // writeFinished. Fails when the archive could not be written, the target
    // then being left as it was. A second writer of the same target (another
    // process, or another ZipArchive) is refused while one is at work. Files
    // are compressed in worker threads; the events still come on the caller's
    // thread, and what they throw fails the write with its words.
    Result<void> WriteZip(const std::string& targetPath, const ZipFileList& files,
                          const std::string& password, ZipWriteMode mode = {});
    // Releases the archive being written or read.
    void CloseZip();

    // --- reading
    // True when any entry of the archive needs a password. nullopt when the
    // file is not a readable zip archive.
    static std::optional<bool> IsPasswordProtected(const std::string& archivePath);
    // Fails when the file is not a zip archive, or one that cannot be
    // restored safely.
    Result<void> OpenZip(const std::string& archivePath);
    void SetDecryptPassword(const std::string& password);
    // Succeeds when the password decrypts the archive: its smallest encrypted
    // entry is read through (so a password that passes the quick check but is
    // wrong is refused too); the others are proved as they are extracted.
    Result<void> CheckPassword();
    std::vector<ZipEntryInfo> Entries() const;
    // The entry of that bare name (compared as Windows compares file names,
    // also for names stored in the ANSI code page).
    std::optional<ZipEntryInfo> GetEntry(const std::string& bareName) const;
    // Extracts the entry to a new file named file (a host path where nothing
    // is yet: a file already there is never written over). Succeeds only when
    // the entry was read to its end with checksum and authentication
    // verified; on any failure what was written is removed, and nothing is
    // under that name. Nothing is ever renamed: putting the file in its place
    // is the caller's. Raises fileExtracting.
    Result<void> ExtractEntryTo(const std::string& bareName, const std::string& file);
    // Extracts each (entry name, file) pair as ExtractEntryTo does, several
    // entries at once, one per processor core, all or nothing: on a failure
    // none of the files is left. fileExtracting is raised on the caller's
    // thread as each entry starts.
    Result<void>
    ExtractEntriesTo(const std::vector<std::pair<std::string, std::string>>& entriesAndFiles);
    // Reads every entry through with every check (CRC-32, AES authentication,
    // length), several at once, one per processor core, and writes nothing.
    // The first entry that fails, nullopt when every entry passes; fails when
    // the entries could not be read through at all.
    Result<std::optional<ZipEntryFault>> TestEntries();
    // The whole entry, with every check; fails when a check does or the entry
    // states more than maxBytes.
    Result<std::string> ReadEntry(const std::string& bareName, std::uint64_t maxBytes);
    // A reader of any range of the entry that needs neither this archive
    // open any longer nor the entry extracted; only the password check is
    // made (see ZipEntryRandomReader). Fails when there is no such entry, the
    // password is refused, or the entry cannot be read in parts (its
    // randomAccess is false): that one has to be extracted.
    Result<std::unique_ptr<ZipEntryRandomReader>> OpenRandomAccess(const std::string& bareName);
    // Off: extracted files are not flushed to disk one by one; the caller
    // flushes many at once before it relies on them (on by default).
    void SetFlushEachExtraction(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace trelmig
