#pragma once

#include "platform/WinePrefix.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace trelmig {

// The files of the Windows machine, addressed by Windows paths
// ("C:\users\Bob\Application Data\Microsoft\Signatures") and worked on in the
// host folders of a Wine prefix.
//
// A path must start with a drive letter ("C:\..."); the letter maps through
// the prefix's dosdevices/. "\" and "/" both separate; "." and ".." are
// resolved, never above the drive's root. UNC paths and paths without a drive
// are not supported: every operation then fails (nullopt, false, empty).
// Each component is matched without regard to case against the existing
// folder entries (the exact name first); a component that does not exist is
// kept as written. Where the literal name does not exist, the legacy junction
// names map onto Wine's folders: "Application Data" -> "AppData\Roaming",
// "Local Settings\Application Data" and "Local Settings" -> "AppData\Local",
// "My Documents" -> "Documents".
//
// Reading follows symbolic links (the prefix's Documents, Desktop, ... are
// links into $HOME). Writing operations (delete, move, create, open for
// writing, attribute change) work on the parent folder as resolved, but
// refuse, by returning false (or a closed stream), when the file or folder
// written is itself a symbolic link, or when a folder on its way below the
// drive's root is a link leading out of that drive, so a write is never
// redirected out of the Windows machine. The links Wine makes from the
// user's shell folders (users\<name>\Documents, Desktop, ... and
// AppData\Roaming\Microsoft\Windows\Templates) into $HOME are part of the
// machine: writing through them is allowed (data files often live in
// Documents\Outlook Files), but not through links out of that home folder.
class WinFiles {
public:
    // A Windows installation seen from Linux: a mounted Windows partition or a
    // copied user folder. Drive C: is the partition (when there is one) and
    // "C:\Users\<userName>" is the user folder wherever it lies. Nothing is
    // ever written there: every writing operation refuses.
    struct WindowsDisk {
        std::optional<std::filesystem::path> systemDrive; // holds Windows\System32\config
        std::filesystem::path userFolder;
        std::string userName;
    };

    // Windows file attribute bits as GetFileAttributes reports them.
    static constexpr std::uint32_t kReadOnly = 0x01;
    static constexpr std::uint32_t kDirectory = 0x10;
    static constexpr std::uint32_t kArchive = 0x20;
    static constexpr std::uint32_t kNormal = 0x80;

    explicit WinFiles(WinePrefix prefix);
    // The files of a Windows disk, read-only; prefix() is the user folder.
    explicit WinFiles(WindowsDisk disk);

    bool readOnly() const { return disk_.has_value(); }

    const WinePrefix& prefix() const { return prefix_; }

    // Host path of an existing or to-be-created file or folder.
    std::optional<std::filesystem::path> hostPath(const std::string& windowsPath) const;
    // The same for writing: nullopt when the rule above refuses the target.
    // The parent folder comes back resolved (symbolic links followed).
    std::optional<std::filesystem::path> hostPathForWriting(const std::string& windowsPath) const;
    // The Windows path as this machine really has it: existing components
    // spelled as on disk and the junction names replaced by Wine's folders
    // ("C:\users\sam\Local Settings\Application Data\x" ->
    // "C:\users\sam\AppData\Local\x"), so that Wine finds what it names.
    std::optional<std::string> canonicalPath(const std::string& windowsPath) const;

    // An existing folder that many files are written into: resolved and
    // checked once, its entries listed once, so each file costs no scan.
    class FolderTargets {
    public:
        const std::filesystem::path& folder() const { return folder_; }
        // Host path of the file of that bare name in the folder (the entry
        // of the same name without regard to case when there is one);
        // nullopt when that is a link or a folder, or the name is not bare.
        std::optional<std::filesystem::path> fileFor(const std::string& name) const;

    private:
        friend class WinFiles;
        std::filesystem::path folder_;
        std::unordered_map<std::u16string, std::string> names_; // case-folded -> on disk
    };
    // nullopt when the folder does not exist or may not be written.
    std::optional<FolderTargets> folderForWriting(const std::string& windowsFolder) const;
    // Removes the extractions a killed run left in the folder
    // (".<name>.trelmig-x-XXXXXX"); returns how many.
    std::size_t removeStaleExtractions(const std::string& windowsFolder) const;

    bool folderExists(const std::string& windowsPath) const;
    bool fileExists(const std::string& windowsPath) const;
    // Names of the regular files directly inside the folder (not its
    // sub-folders), sorted by name without regard to case; empty when the
    // folder does not exist.
    std::vector<std::string> listFiles(const std::string& windowsFolder) const;
    std::optional<std::uintmax_t> fileSize(const std::string& windowsPath) const;
    // The whole content; nullopt when it cannot be read.
    std::optional<std::string> readFile(const std::string& windowsPath) const;
    // Binary stream; not open when the file cannot be opened.
    std::ifstream openForReading(const std::string& windowsPath) const;
    // Bytes available to this user in the folder's file system (of the
    // nearest existing folder above it when it does not exist yet).
    std::optional<std::uintmax_t> freeSpace(const std::string& windowsFolder) const;
    // Attribute bits (kReadOnly when no one may write, kDirectory, kArchive for
    // files); nullopt when nothing is there.
    std::optional<std::uint32_t> attributes(const std::string& windowsPath) const;

    // Deletes a file (not a folder).
    [[nodiscard]] bool deleteFile(const std::string& windowsPath);
    // Moves or renames a file. An existing destination is replaced only when
    // replaceExisting is set (and only when it is a file). Works across file
    // systems (copied to a temporary name beside the destination first).
    [[nodiscard]] bool moveFile(const std::string& from, const std::string& to,
                                bool replaceExisting = false);
    // Creates one folder inside an existing one; true when the folder exists
    // afterwards (nothing is written when it exists already).
    [[nodiscard]] bool createFolder(const std::string& windowsPath);
    // Binary stream that truncates or creates the file; not open when the
    // file cannot be opened or the rule above refuses it.
    std::ofstream openForWriting(const std::string& windowsPath);
    // Only kReadOnly is kept on Linux: set removes every write permission,
    // clear (kNormal) gives the owner write permission back.
    [[nodiscard]] bool setAttributes(const std::string& windowsPath, std::uint32_t attributes);

private:
    struct Resolved {
        std::filesystem::path host;
        std::string windows;
    };
    std::optional<Resolved> resolve(const std::string& windowsPath) const;
    std::optional<std::filesystem::path> driveRoot(char letter) const;

    WinePrefix prefix_;
    std::optional<WindowsDisk> disk_;
};

} // namespace trelmig
