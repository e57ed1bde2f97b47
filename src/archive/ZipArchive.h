#pragma once

#include "archive/ZipFileList.h"
#include "platform/AnsiCodec.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

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
    // every target untouched.
    std::function<bool(std::uint64_t bytesWritten)> extractProgress;
};

// One entry of an opened archive.
struct ZipEntryInfo {
    std::string name;       // as stored, decoded to UTF-8
    std::uint64_t size = 0; // uncompressed
    bool encrypted = false;
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
    // writeFinished. Returns false (and sets LastError) when the archive could
    // not be written, the target then being left as it was. A second writer of
    // the same target (another process, or another ZipArchive) is refused while
    // one is at work. Files are compressed in worker threads; the events still
    // come on the caller's thread.
    bool WriteZip(const std::string& targetPath, const ZipFileList& files,
                  const std::string& password);
    // Releases the archive being written or read.
    void CloseZip();
    std::string LastError() const;

    // --- reading
    // True when any entry of the archive needs a password. nullopt when the
    // file is not a readable zip archive.
    static std::optional<bool> IsPasswordProtected(const std::string& archivePath);
    bool OpenZip(const std::string& archivePath);
    void SetDecryptPassword(const std::string& password);
    // True when the password decrypts the archive: its smallest encrypted
    // entry is read through (so a password that passes the quick check but is
    // wrong is refused too); the others are proved as they are extracted.
    bool CheckPassword();
    std::vector<ZipEntryInfo> Entries() const;
    // The entry of that bare name (compared as Windows compares file names,
    // also for names stored in the ANSI code page).
    std::optional<ZipEntryInfo> GetEntry(const std::string& bareName) const;
    // Extracts the entry to targetFile: written to a temporary file in the same
    // folder, accepted only when read to its end with checksum and
    // authentication verified, then renamed over targetFile. On any failure
    // the existing targetFile is untouched, the temporary file is removed and
    // false is returned (LastError says why). Raises fileExtracting.
    bool ExtractEntryTo(const std::string& bareName, const std::string& targetFile);
    // Extracts each (entry name, target file) pair as ExtractEntryTo does,
    // several entries at once, one per processor core, and renames the
    // temporary files over their targets only once every entry is complete
    // and verified: on a failure no target has changed. fileExtracting is
    // raised on the caller's thread as each entry starts.
    bool
    ExtractEntriesTo(const std::vector<std::pair<std::string, std::string>>& entriesAndTargets);
    // Reads every entry through with every check (CRC-32, AES authentication,
    // length), several at once, one per processor core, and writes nothing.
    // False (LastError and FailedEntry say why and which) at the first entry
    // that fails.
    bool TestEntries();
    // The whole entry into data, with every check; false (LastError) when it
    // fails or states more than maxBytes.
    bool ReadEntry(const std::string& bareName, std::string& data, std::uint64_t maxBytes);
    // The entry whose failure ended the last ExtractEntriesTo or TestEntries.
    std::string FailedEntry() const;
    // That failure was a password check: the password, not the archive, is wrong.
    bool FailedAtPassword() const;
    // Off: extracted files are not flushed to disk one by one; the caller
    // flushes many at once before it relies on them (on by default).
    void SetFlushEachExtraction(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace trelmig
