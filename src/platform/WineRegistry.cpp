#include "platform/WineRegistry.h"

#include "platform/SideFile.h"
#include "platform/Utf.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace trelmig {

bool isStringType(std::uint32_t type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

RegValue toRegValue(const RegNode::Value& v) {
    RegValue out;
    out.name = utf16ToUtf8(v.name);
    out.type = v.type;
    if (isStringType(v.type)) {
        const std::string text = utf16ToUtf8(utf16FromLeBytes(v.data));
        out.data.assign(text.begin(), text.end());
    } else {
        out.data = v.data;
    }
    return out;
}

RegNode::Value fromRegValue(const RegValue& v) {
    RegNode::Value out;
    out.name = utf8ToUtf16(v.name);
    out.type = v.type;
    if (isStringType(v.type)) {
        out.data = utf16LeBytes(utf8ToUtf16(
            std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size())));
    } else {
        out.data = v.data;
    }
    return out;
}

namespace {

// Links followed by one lookup, as Wine's server allows.
constexpr int kMaxLinksFollowed = 16;

std::optional<std::string> readWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad())
        throw RegistryError("cannot read " + file.string());
    return std::move(s).str();
}

// Writes text beside the target, flushes it to disk and renames it over the
// target, so the file is always either the old or the new one.
void replaceFileAtomically(const std::filesystem::path& target, const std::string& text) {
    try {
        SideFile::removeLeftovers(target.string());
        SideFile file(target.string());
        file.create();
        file.write(text.data(), text.size());
        file.commit();
    } catch (const std::runtime_error& e) {
        throw RegistryError(std::string(e.what()) + ". " + target.string() +
                            " was left unchanged.");
    }
}

constexpr std::u16string_view kRegistryMachine = u"\\registry\\machine";
constexpr std::u16string_view kRegistryUser = u"\\registry\\user";

} // namespace

WineRegistry::WineRegistry() {
    hives_[User].tree.preamble = defaultPreamble("REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000");
    hives_[System].tree.preamble = defaultPreamble("REGISTRY\\\\Machine");
    hives_[UserDefault].tree.preamble = defaultPreamble("REGISTRY\\\\User\\\\.Default");
    userSid_ = u"S-1-5-21-0-0-0-1000";
}

WineRegistry::WineRegistry(const WinePrefix& prefix) : WineRegistry() {
    prefix_ = std::make_unique<WinePrefix>(prefix);
    hives_[User].file = prefix.userReg();
    hives_[System].file = prefix.systemReg();
    hives_[UserDefault].file = prefix.userdefReg();
    for (auto& hive : hives_)
        loadHive(hive, "");
    // The user's SID is the last component of ";; All keys relative to".
    const std::string& pre = hives_[User].tree.preamble;
    auto pos = pre.find("REGISTRY\\\\User\\\\");
    if (pos != std::string::npos) {
        auto end = pre.find('\n', pos);
        userSid_ = utf8ToUtf16(pre.substr(pos + 16, end - pos - 16));
    }
}

WineRegistry::~WineRegistry() = default;

void WineRegistry::loadHive(Hive& hive, const std::string&) {
    auto text = readWholeFile(hive.file);
    hive.existedOnDisk = text.has_value();
    hive.dirty = false;
    if (!text)
        return;
    hive.tree = parseWineRegistry(*text, hive.file.string());
    hive.diskText = std::move(*text);
}

WineRegistry::Location WineRegistry::findIn(Hive& hive, RegNode* from,
                                            std::u16string_view path) const {
    int linksLeft = kMaxLinksFollowed;
    return findIn(hive, from, path, linksLeft);
}

// The budget of links is shared by the whole lookup, including the lookups of
// link targets, so a link leading to itself or round a circle ends.
WineRegistry::Location WineRegistry::findIn(Hive& hive, RegNode* from, std::u16string_view path,
                                            int& linksLeft) const {
    Hive* h = &hive;
    RegNode* node = from;
    for (auto part : SplitKeyPath<char16_t>(path)) {
        node = node->findSubkey(part);
        if (!node)
            return {};
        while (node->isLink) {
            if (--linksLeft < 0)
                return {};
            const RegNode::Value* target = node->findValue(u"SymbolicLinkValue");
            if (!target || target->type != REG_LINK)
                break;
            const std::u16string t = utf16FromLeBytes(target->data);
            const std::u16string folded = foldCase(t);
            Location next;
            if (folded.starts_with(kRegistryMachine)) {
                next = findIn(hives_[System], hives_[System].tree.root.get(),
                              std::u16string_view(t).substr(kRegistryMachine.size()), linksLeft);
            } else if (folded.starts_with(kRegistryUser)) {
                auto rest = std::u16string_view(t).substr(kRegistryUser.size());
                auto parts = SplitKeyPath<char16_t>(rest);
                if (parts.empty())
                    return {};
                Hive* target = nullptr;
                if (compareRegNames(parts[0], userSid_) == 0)
                    target = &hives_[User];
                else if (compareRegNames(parts[0], u".Default") == 0)
                    target = &hives_[UserDefault];
                if (!target)
                    return {};
                next = findIn(*target, target->tree.root.get(),
                              rest.substr(rest.find(parts[0]) + parts[0].size()), linksLeft);
            }
            if (!next.node)
                return {};
            h = next.hive;
            node = next.node;
        }
    }
    return {h, node};
}

WineRegistry::Location WineRegistry::find(RootKey root, const std::string& subPath) const {
    const std::u16string path = utf8ToUtf16(subPath);
    switch (root) {
    case RootKey::CurrentUser:
        return findIn(hives_[User], hives_[User].tree.root.get(), path);
    case RootKey::LocalMachine:
        return findIn(hives_[System], hives_[System].tree.root.get(), path);
    case RootKey::Users: {
        auto parts = SplitKeyPath<char16_t>(path);
        if (parts.empty())
            return {};
        Hive* hive = nullptr;
        if (compareRegNames(parts[0], u".Default") == 0)
            hive = &hives_[UserDefault];
        else if (compareRegNames(parts[0], userSid_) == 0)
            hive = &hives_[User];
        if (!hive)
            return {};
        return findIn(*hive, hive->tree.root.get(),
                      std::u16string_view(path).substr(path.find(parts[0]) + parts[0].size()));
    }
    case RootKey::ClassesRoot: {
        const std::u16string inUser = u"Software\\Classes\\" + path;
        Location l = findIn(hives_[User], hives_[User].tree.root.get(), inUser);
        if (l.node)
            return l;
        return findIn(hives_[System], hives_[System].tree.root.get(), inUser);
    }
    case RootKey::CurrentConfig:
        return findIn(hives_[System], hives_[System].tree.root.get(),
                      u"System\\CurrentControlSet\\Hardware Profiles\\Current\\" + path);
    default:
        return {};
    }
}

bool WineRegistry::keyExists(RootKey root, const std::string& subPath) const {
    if (root == RootKey::Users && SplitKeyPath<char16_t>(utf8ToUtf16(subPath)).empty())
        return true;
    return find(root, subPath).node != nullptr;
}

std::optional<std::string> WineRegistry::subkeyAt(RootKey root, const std::string& subPath,
                                                  std::size_t index) const {
    std::vector<std::u16string> merged;
    if (root == RootKey::Users && SplitKeyPath<char16_t>(utf8ToUtf16(subPath)).empty()) {
        merged = {u".Default", userSid_};
    } else if (root == RootKey::ClassesRoot) {
        // Machine classes overlaid by the user's own.
        const std::u16string inClasses = u"Software\\Classes\\" + utf8ToUtf16(subPath);
        for (HiveId id : {User, System}) {
            Location l = findIn(hives_[id], hives_[id].tree.root.get(), inClasses);
            if (!l.node)
                continue;
            for (const auto& sub : l.node->subkeys) {
                auto it = std::lower_bound(
                    merged.begin(), merged.end(), sub->name,
                    [](const auto& a, const auto& b) { return compareRegNames(a, b) < 0; });
                if (it == merged.end() || compareRegNames(*it, sub->name) != 0)
                    merged.insert(it, sub->name);
            }
        }
    } else {
        Location l = find(root, subPath);
        if (!l.node || index >= l.node->subkeys.size())
            return std::nullopt;
        return utf16ToUtf8(l.node->subkeys[index]->name);
    }
    if (index >= merged.size())
        return std::nullopt;
    return utf16ToUtf8(merged[index]);
}

std::optional<RegValue> WineRegistry::valueAt(RootKey root, const std::string& subPath,
                                              std::size_t index) const {
    Location l = find(root, subPath);
    if (!l.node || index >= l.node->values.size())
        return std::nullopt;
    return toRegValue(l.node->values[index]);
}

std::optional<RegValue> WineRegistry::queryValue(RootKey root, const std::string& subPath,
                                                 const std::string& name) const {
    Location l = find(root, subPath);
    if (!l.node)
        return std::nullopt;
    const RegNode::Value* v = l.node->findValue(utf8ToUtf16(name));
    if (!v)
        return std::nullopt;
    return toRegValue(*v);
}

void WineRegistry::touch(Hive& hive, RegNode& node) {
    node.modif = currentFileTime();
    hive.dirty = true;
}

RegStatus WineRegistry::setValue(RootKey root, const std::string& subPath, const RegValue& value) {
    Location l = find(root, subPath);
    if (!l.node)
        return ERROR_FILE_NOT_FOUND;
    l.node->setValue(fromRegValue(value));
    touch(*l.hive, *l.node);
    return ERROR_SUCCESS;
}

RegStatus WineRegistry::deleteValue(RootKey root, const std::string& subPath,
                                    const std::string& name) {
    Location l = find(root, subPath);
    if (!l.node)
        return ERROR_FILE_NOT_FOUND;
    if (!l.node->removeValue(utf8ToUtf16(name)))
        return ERROR_FILE_NOT_FOUND;
    touch(*l.hive, *l.node);
    return ERROR_SUCCESS;
}

RegStatus WineRegistry::deleteKey(RootKey root, const std::string& subPath) {
    Location l = find(root, subPath);
    if (!l.node || !l.node->parent)
        return l.node ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    if (!l.node->subkeys.empty())
        return ERROR_ACCESS_DENIED;
    RegNode* parent = l.node->parent;
    parent->removeSubkey(l.node);
    touch(*l.hive, *parent);
    return ERROR_SUCCESS;
}

RegStatus WineRegistry::createKey(RootKey root, const std::string& subPath) {
    std::u16string path = utf8ToUtf16(subPath);
    Hive* hive = nullptr;
    switch (root) {
    case RootKey::CurrentUser:
        hive = &hives_[User];
        break;
    case RootKey::LocalMachine:
        hive = &hives_[System];
        break;
    case RootKey::Users: {
        auto parts = SplitKeyPath<char16_t>(path);
        if (parts.empty())
            return ERROR_SUCCESS;
        if (compareRegNames(parts[0], u".Default") == 0)
            hive = &hives_[UserDefault];
        else if (compareRegNames(parts[0], userSid_) == 0)
            hive = &hives_[User];
        else
            return ERROR_ACCESS_DENIED;
        path = path.substr(path.find(parts[0]) + parts[0].size());
        break;
    }
    case RootKey::ClassesRoot:
        path = u"Software\\Classes\\" + path;
        hive = findIn(hives_[User], hives_[User].tree.root.get(), path).node ? &hives_[User]
                                                                             : &hives_[System];
        break;
    default:
        return ERROR_ACCESS_DENIED;
    }
    // Walk down as far as the key exists (links followed), then create the rest.
    RegNode* node = hive->tree.root.get();
    auto parts = SplitKeyPath<char16_t>(path);
    std::size_t i = 0;
    for (; i < parts.size(); ++i) {
        Location l = findIn(*hive, node, parts[i]);
        if (!l.node) {
            // A link whose target cannot be reached is not replaced by a key.
            if (const RegNode* child = node->findSubkey(parts[i]); child && child->isLink)
                return ERROR_FILE_NOT_FOUND;
            break;
        }
        hive = l.hive; // a link may lead into another file
        node = l.node;
    }
    if (i == parts.size())
        return ERROR_SUCCESS;
    std::size_t depth = parts.size() - i;
    for (const RegNode* up = node; up->parent; up = up->parent)
        ++depth;
    if (depth > kMaxKeyDepth)
        return ERROR_INVALID_PARAMETER;
    const std::uint64_t now = currentFileTime();
    for (; i < parts.size(); ++i)
        node = node->addSubkey(parts[i], now);
    touch(*hive, *node->parent);
    touch(*hive, *node);
    return ERROR_SUCCESS;
}

bool WineRegistry::hasUnsavedChanges() const {
    for (const auto& h : hives_)
        if (h.dirty)
            return true;
    return false;
}

void WineRegistry::save() {
    if (!hasUnsavedChanges())
        return;
    if (!prefix_)
        throw RegistryError("This registry has no files to save to.");
    if (prefix_->wineserverRunning())
        throw RegistryError("Wine is running for the prefix " + prefix_->root().string() +
                            ". Please close Outlook and Wine first (for example with "
                            "\"wineserver -k\"), then try again. Nothing was written.");
    for (const auto& h : hives_) {
        if (!h.dirty)
            continue;
        auto now = readWholeFile(h.file);
        if (now.has_value() != h.existedOnDisk || (now && *now != h.diskText))
            throw RegistryError(h.file.string() +
                                " was changed by another program since it was read. Nothing "
                                "was written; please try again.");
    }
    for (auto& h : hives_) {
        if (!h.dirty)
            continue;
        std::string text = formatWineRegistry(h.tree);
        replaceFileAtomically(h.file, text);
        h.diskText = std::move(text);
        h.existedOnDisk = true;
        h.dirty = false;
    }
}

void WineRegistry::reload() {
    for (auto& hive : hives_) {
        if (hive.file.empty())
            continue;
        std::string preamble = std::move(hive.tree.preamble);
        hive.tree = RegHive{};
        hive.tree.preamble = std::move(preamble);
        hive.diskText.clear();
        loadHive(hive, "");
    }
}

void WineRegistry::revert() {
    for (auto& h : hives_) {
        if (!h.dirty)
            continue;
        if (h.existedOnDisk) {
            h.tree = parseWineRegistry(h.diskText, h.file.string());
        } else {
            std::string preamble = h.tree.preamble;
            h.tree = RegHive{};
            h.tree.preamble = std::move(preamble);
        }
        h.dirty = false;
    }
}

} // namespace trelmig
