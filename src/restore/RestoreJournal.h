#pragma once

#include <filesystem>
#include <string>

namespace trelmig {

// Told by a restore what it is about to change, before it changes it, so
// that the change can be undone. Each call may throw: the restore then
// changes nothing of that item.
class RestoreJournal {
public:
    virtual ~RestoreJournal() = default;
    // A file about to be created, replaced or deleted (host path).
    virtual void beforeFileChange(const std::filesystem::path& file) = 0;
    // A folder about to be created (Windows path).
    virtual void beforeFolderCreated(const std::string& windowsFolder) = 0;
    // A registry key whose subtree is about to change, be created or deleted.
    virtual void beforeKeyChange(const std::string& keyPath) = 0;
    // One value about to be written or deleted.
    virtual void beforeValueChange(const std::string& keyPath, const std::string& valueName) = 0;
    // The changes told so far are about to be made (files renamed into
    // place, a folder made or a file deleted, the registry saved). Changes
    // told but never followed by this were never made.
    virtual void beforeCommit() = 0;
};

} // namespace trelmig
