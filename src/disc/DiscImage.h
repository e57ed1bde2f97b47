#pragma once

#include "core/Error.h"
#include "disc/DiscEvents.h"
#include "disc/DiscTypes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// The content of the disc being composed: folders and files of the image,
// each file standing for a source file on the host. Image paths are
// backslash-separated from the root "\" ("\Mail\Archive.kvx"). Nothing is
// read from the sources but their size and date until the image is written.
// Every edit answers nothing or why it changed nothing.
class DiscImage {
public:
    explicit DiscImage(DiscEngineEvents* events = nullptr) : events_(events) {}
    void SetEvents(DiscEngineEvents* events) { events_ = events; }

    // Adds a regular file (symbolic links are followed) under imagePath,
    // whose parent folder must exist. A file already there is replaced only
    // when the replace query says so.
    Result<void> AddFile(const std::string& sourcePath, const std::string& imagePath);
    // Adds a folder at imagePath (or merges into the one there) with the whole
    // content of the source folder, reporting each new folder by FolderAdded.
    // Links to folders are not followed; special files are left out.
    Result<void> AddFolder(const std::string& sourcePath, const std::string& imagePath);
    Result<void> RemoveItem(const std::string& imagePath);
    Result<void> RenameFile(const std::string& imagePath, const std::string& newName);
    // Every folder below the renamed one is reported by ItemRename too.
    Result<void> RenameFolder(const std::string& imagePath, const std::string& newName);
    // Reports every entry of the folder by FileListed, folders first.
    Result<void> ListFolder(const std::string& imagePath);
    // Refused while an addition runs.
    Result<void> Clear();

    long FileCount() const { return files_; }
    long FolderCount() const { return folders_; }
    std::uint64_t DataBytes() const { return bytes_; }
    // Changes with every change of the content.
    std::uint64_t Generation() const { return generation_; }
    // True while an addition runs (its events may let the user act meanwhile:
    // changes are refused until it ends).
    bool Busy() const { return busy_; }

    std::optional<DiscItem> Find(const std::string& imagePath) const;
    // Every folder and file, each folder before its content.
    std::vector<DiscItem> Entries() const;

private:
    struct Node {
        std::string name;
        bool folder = false;
        std::string source;
        std::uint64_t size = 0;
        std::int64_t date = 0;
        std::map<std::string, std::unique_ptr<Node>> children;
    };
    struct Location {
        Node* parent = nullptr;
        std::string parentPath;
        std::string name;
        Node* node = nullptr; // null when nothing is there yet
    };

    std::optional<Location> Locate(const std::string& imagePath) const;
    Node* FindNode(const std::string& imagePath) const;
    Result<Location> LocateForChange(const std::string& imagePath) const;
    Result<void> AddWhileBusy(const std::string& imagePath,
                              const std::function<Result<void>(const Location&)>& add);
    Result<void> AddFileAt(const std::string& sourcePath, const Location& at);
    Result<void> AddFolderAt(const std::string& sourcePath, const Location& at);
    Result<void> RenameAt(const std::string& imagePath, const std::string& newName, bool folder);
    void Collect(const Node& node, const std::string& path, const std::string& parentPath,
                 std::vector<DiscItem>& out) const;
    static DiscItem ItemOf(const Node& node, const std::string& parentPath);
    void Count(const Node& node, int sign);

    DiscEngineEvents* events_;
    Node root_{"", true, "", 0, 0, {}};
    long files_ = 0;
    long folders_ = 0;
    std::uint64_t bytes_ = 0;
    std::uint64_t generation_ = 0;
    bool busy_ = false;
};

// "\" + name for the root, else parent + "\" + name.
std::string JoinImagePath(const std::string& parentPath, const std::string& name);
// A name a file or folder of the image may carry.
bool IsValidImageName(const std::string& name);

} // namespace trelmig
