#include "disc/DiscImage.h"

#include <functional>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace trelmig {

namespace {

std::vector<std::string> SplitImagePath(const std::string& imagePath) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : imagePath) {
        if (c == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

struct SourceInfo {
    bool exists = false;
    bool regular = false;
    bool directory = false;
    bool link = false;
    std::uint64_t size = 0;
    std::int64_t date = 0;
};

SourceInfo Inspect(const std::string& path) {
    SourceInfo info;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return info;
    info.link = S_ISLNK(st.st_mode);
    if (info.link && ::stat(path.c_str(), &st) != 0)
        return info;
    info.exists = true;
    info.regular = S_ISREG(st.st_mode);
    info.directory = S_ISDIR(st.st_mode);
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.date = static_cast<std::int64_t>(st.st_mtime);
    return info;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ChildSource(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

} // namespace

std::string JoinImagePath(const std::string& parentPath, const std::string& name) {
    if (parentPath.empty() || parentPath == "\\")
        return "\\" + name;
    return parentPath + "\\" + name;
}

bool IsValidImageName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.size() <= 255 &&
           name.find_first_of(std::string("\\/\0", 3)) == std::string::npos;
}

std::optional<DiscImage::Location> DiscImage::Locate(const std::string& imagePath) const {
    const auto parts = SplitImagePath(imagePath);
    if (parts.empty())
        return std::nullopt; // the root has no parent
    Node* parent = const_cast<Node*>(&root_);
    std::string parentPath = "\\";
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        auto it = parent->children.find(parts[i]);
        if (it == parent->children.end() || !it->second->folder)
            return std::nullopt;
        parent = it->second.get();
        parentPath = JoinImagePath(parentPath, parts[i]);
    }
    Location at;
    at.parent = parent;
    at.parentPath = parentPath;
    at.name = parts.back();
    auto it = parent->children.find(at.name);
    at.node = it == parent->children.end() ? nullptr : it->second.get();
    return at;
}

DiscImage::Node* DiscImage::FindNode(const std::string& imagePath) const {
    if (SplitImagePath(imagePath).empty())
        return const_cast<Node*>(&root_);
    const auto at = Locate(imagePath);
    return at ? at->node : nullptr;
}

DiscItem DiscImage::ItemOf(const Node& node, const std::string& parentPath) {
    DiscItem item;
    item.isFolder = node.folder;
    item.parentPath = parentPath;
    item.name = node.name;
    item.imagePath = node.name.empty() ? "\\" : JoinImagePath(parentPath, node.name);
    item.sourcePath = node.source;
    item.size = static_cast<double>(node.size);
    item.date = node.date;
    return item;
}

void DiscImage::Count(const Node& node, int sign) {
    if (node.folder) {
        folders_ += sign;
        for (const auto& [name, child] : node.children)
            Count(*child, sign);
    } else {
        files_ += sign;
        bytes_ = sign > 0 ? bytes_ + node.size : bytes_ - node.size;
    }
}

Result<DiscImage::Location> DiscImage::LocateForChange(const std::string& imagePath) const {
    if (busy_)
        return Fail("The disc image is being added to; " + imagePath + " was left as it is.");
    auto at = Locate(imagePath);
    if (!at)
        return Fail("The disc image has no folder to hold " + imagePath + ".");
    return *at;
}

// Adding refuses while another add runs (the window keeps processing events
// during a long one) and the image is marked busy until it ends.
Result<void> DiscImage::AddWhileBusy(const std::string& imagePath,
                                     const std::function<Result<void>(const Location&)>& add) {
    const auto at = LocateForChange(imagePath);
    if (!at)
        return std::unexpected(at.error());
    busy_ = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{busy_};
    return add(*at);
}

Result<void> DiscImage::AddFile(const std::string& sourcePath, const std::string& imagePath) {
    return AddWhileBusy(imagePath, [&](const Location& at) { return AddFileAt(sourcePath, at); });
}

Result<void> DiscImage::AddFileAt(const std::string& sourcePath, const Location& at) {
    const std::string imagePath = JoinImagePath(at.parentPath, at.name);
    if (!IsValidImageName(at.name))
        return Fail("\"" + at.name + "\" cannot name a file of a disc image.");
    const SourceInfo info = Inspect(sourcePath);
    if (!info.regular)
        return Fail(sourcePath + " is not a file that can be read.");
    if (at.node) {
        if (at.node->folder)
            return Fail("The disc image holds a folder at " + imagePath + ".");
        const bool replace =
            events_ && events_->ReplaceQuery(ItemOf(*at.node, at.parentPath), sourcePath);
        if (!replace)
            return Fail("The disc image keeps the file it holds at " + imagePath + ".");
        bytes_ = bytes_ - at.node->size + info.size;
        at.node->source = sourcePath;
        at.node->size = info.size;
        at.node->date = info.date;
        ++generation_;
        return {};
    }
    auto node = std::make_unique<Node>();
    node->name = at.name;
    node->source = sourcePath;
    node->size = info.size;
    node->date = info.date;
    at.parent->children.emplace(at.name, std::move(node));
    ++files_;
    bytes_ += info.size;
    ++generation_;
    return {};
}

Result<void> DiscImage::AddFolder(const std::string& sourcePath, const std::string& imagePath) {
    return AddWhileBusy(imagePath, [&](const Location& at) { return AddFolderAt(sourcePath, at); });
}

// An entry of the source folder that cannot be added is left out and the rest
// goes on: the window shows the image as it came out.
Result<void> DiscImage::AddFolderAt(const std::string& sourcePath, const Location& at) {
    const std::string path = JoinImagePath(at.parentPath, at.name);
    if (!IsValidImageName(at.name))
        return Fail("\"" + at.name + "\" cannot name a folder of a disc image.");
    const SourceInfo info = Inspect(sourcePath);
    if (!info.directory)
        return Fail(sourcePath + " is not a folder that can be read.");
    Node* folder = at.node;
    if (folder) {
        if (!folder->folder)
            return Fail("The disc image holds a file at " + path + ".");
    } else {
        auto node = std::make_unique<Node>();
        node->name = at.name;
        node->folder = true;
        node->source = sourcePath;
        node->date = info.date;
        folder = node.get();
        at.parent->children.emplace(at.name, std::move(node));
        ++folders_;
        ++generation_;
        if (events_)
            events_->FolderAdded(ItemOf(*folder, at.parentPath));
    }
    for (const auto& name : FolderEntries(sourcePath)) {
        const std::string child = ChildSource(sourcePath, name);
        const SourceInfo entry = Inspect(child);
        Location inner;
        inner.parent = folder;
        inner.parentPath = path;
        inner.name = name;
        auto it = folder->children.find(name);
        inner.node = it == folder->children.end() ? nullptr : it->second.get();
        if (entry.directory && !entry.link)
            (void)AddFolderAt(child, inner);
        else if (entry.regular)
            (void)AddFileAt(child, inner);
    }
    return {};
}

Result<void> DiscImage::RemoveItem(const std::string& imagePath) {
    const auto at = LocateForChange(imagePath);
    if (!at)
        return std::unexpected(at.error());
    if (!at->node)
        return Fail("The disc image holds nothing at " + imagePath + ".");
    const DiscItem item = ItemOf(*at->node, at->parentPath);
    Count(*at->node, -1);
    at->parent->children.erase(at->name);
    ++generation_;
    if (events_)
        events_->ItemRemoved(item);
    return {};
}

Result<void> DiscImage::RenameFile(const std::string& imagePath, const std::string& newName) {
    return RenameAt(imagePath, newName, false);
}

Result<void> DiscImage::RenameFolder(const std::string& imagePath, const std::string& newName) {
    return RenameAt(imagePath, newName, true);
}

Result<void> DiscImage::RenameAt(const std::string& imagePath, const std::string& newName,
                                 bool folder) {
    const auto at = LocateForChange(imagePath);
    if (!at)
        return std::unexpected(at.error());
    if (!IsValidImageName(newName))
        return Fail("\"" + newName + "\" cannot name an entry of a disc image.");
    if (!at->node || at->node->folder != folder)
        return Fail("The disc image holds no " + std::string(folder ? "folder" : "file") + " at " +
                    imagePath + ".");
    if (newName == at->name)
        return {};
    if (at->parent->children.count(newName))
        return Fail("The disc image already holds " + JoinImagePath(at->parentPath, newName) + ".");
    std::vector<DiscItem> former;
    Collect(*at->node, JoinImagePath(at->parentPath, at->name), at->parentPath, former);
    auto handle = at->parent->children.extract(at->name);
    handle.key() = newName;
    handle.mapped()->name = newName;
    Node& node = *handle.mapped();
    at->parent->children.insert(std::move(handle));
    ++generation_;
    if (!events_)
        return {};
    std::vector<DiscItem> renamed;
    Collect(node, JoinImagePath(at->parentPath, newName), at->parentPath, renamed);
    for (size_t i = 0; i < renamed.size(); ++i) {
        if (i > 0 && !renamed[i].isFolder)
            continue; // files below a renamed folder are listed afresh
        renamed[i].formerImagePath = former[i].imagePath;
        events_->ItemRename(renamed[i]);
    }
    return {};
}

Result<void> DiscImage::ListFolder(const std::string& imagePath) {
    const Node* folder = FindNode(imagePath);
    if (!folder || !folder->folder)
        return Fail("The disc image holds no folder at " + imagePath + ".");
    const std::string path = SplitImagePath(imagePath).empty() ? "\\" : imagePath;
    if (!events_)
        return {};
    // Copy first: a handler may yield to the user.
    std::vector<DiscItem> items;
    for (bool folders : {true, false})
        for (const auto& [name, child] : folder->children)
            if (child->folder == folders)
                items.push_back(ItemOf(*child, path));
    for (const auto& item : items)
        events_->FileListed(item);
    return {};
}

Result<void> DiscImage::Clear() {
    if (busy_)
        return Fail("The disc image is being added to; it was not cleared.");
    root_.children.clear();
    files_ = 0;
    folders_ = 0;
    bytes_ = 0;
    ++generation_;
    if (events_)
        events_->ImageCleared();
    return {};
}

std::optional<DiscItem> DiscImage::Find(const std::string& imagePath) const {
    if (SplitImagePath(imagePath).empty())
        return ItemOf(root_, "");
    const auto at = Locate(imagePath);
    if (!at || !at->node)
        return std::nullopt;
    return ItemOf(*at->node, at->parentPath);
}

void DiscImage::Collect(const Node& node, const std::string& path, const std::string& parentPath,
                        std::vector<DiscItem>& out) const {
    out.push_back(ItemOf(node, parentPath));
    for (const auto& [name, child] : node.children)
        Collect(*child, JoinImagePath(path, name), path, out);
}

std::vector<DiscItem> DiscImage::Entries() const {
    std::vector<DiscItem> out;
    for (const auto& [name, child] : root_.children)
        Collect(*child, JoinImagePath("\\", name), "\\", out);
    return out;
}

} // namespace trelmig
