#include "platform/WindowsRegistry.h"

#include "platform/Utf.h"

#include <cstdio>

namespace trelmig {

namespace {

// "a\b\c" -> {"a", "b\c"}.
std::pair<std::string, std::string> splitFirst(const std::string& path) {
    const std::size_t slash = path.find('\\');
    if (slash == std::string::npos)
        return {path, {}};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

std::string joined(const std::string& base, const std::string& rest) {
    return rest.empty() ? base : base + "\\" + rest;
}

RegValue textValue(const std::string& name, const std::string& text) {
    RegValue v{name, REG_SZ, {}};
    v.data.assign(text.begin(), text.end());
    v.data.push_back(0);
    return v;
}

std::unique_ptr<WindowsHive> openIf(const std::optional<std::filesystem::path>& file) {
    return file ? std::make_unique<WindowsHive>(*file) : nullptr;
}

} // namespace

WindowsRegistry::WindowsRegistry(const Files& files)
    : user_(std::make_unique<WindowsHive>(files.user)), software_(openIf(files.software)),
      system_(openIf(files.system)) {
    if (system_) {
        if (auto select = system_->find("Select"))
            if (auto current = system_->value(*select, "Current");
                current && current->type == REG_DWORD && current->data.size() == 4) {
                char name[32];
                std::snprintf(name, sizeof name, "ControlSet%03u",
                              static_cast<unsigned>(current->data[0] | current->data[1] << 8));
                currentControlSet_ = name;
            }
    }
    // What Windows puts into the user's environment at logon.
    const std::string profile = "C:\\Users\\" + files.userName;
    volatileEnvironment_ = {textValue("APPDATA", profile + "\\AppData\\Roaming"),
                            textValue("HOMEDRIVE", "C:"),
                            textValue("HOMEPATH", "\\Users\\" + files.userName),
                            textValue("LOCALAPPDATA", profile + "\\AppData\\Local"),
                            textValue("USERNAME", files.userName),
                            textValue("USERPROFILE", profile)};
}

std::optional<WindowsRegistry::Place> WindowsRegistry::placeIn(const WindowsHive* hive,
                                                               const std::string& path) const {
    if (!hive)
        return std::nullopt;
    if (auto node = hive->find(path))
        return Place{hive, *node};
    return std::nullopt;
}

std::vector<WindowsRegistry::Place> WindowsRegistry::places(RootKey root,
                                                            const std::string& subPath) const {
    std::vector<Place> out;
    const auto add = [&](const WindowsHive* hive, const std::string& path) {
        if (auto place = placeIn(hive, path))
            out.push_back(*place);
    };
    if (root == RootKey::CurrentUser) {
        add(user_.get(), subPath);
    } else if (root == RootKey::LocalMachine) {
        const auto [hive, rest] = splitFirst(subPath);
        if (equalsNoCase(hive, "SOFTWARE")) {
            add(software_.get(), rest);
        } else if (equalsNoCase(hive, "SYSTEM")) {
            const auto [set, below] = splitFirst(rest);
            add(system_.get(),
                equalsNoCase(set, "CurrentControlSet") ? joined(currentControlSet_, below) : rest);
        }
    } else if (root == RootKey::ClassesRoot) {
        add(user_.get(), joined("Software\\Classes", subPath));
        add(software_.get(), joined("Classes", subPath));
    }
    return out;
}

bool WindowsRegistry::isVolatileEnvironment(RootKey root, const std::string& subPath) const {
    return root == RootKey::CurrentUser && equalsNoCase(subPath, "Volatile Environment") &&
           !user_->find(subPath);
}

bool WindowsRegistry::keyExists(RootKey root, const std::string& subPath) const {
    if (root == RootKey::LocalMachine && subPath.empty())
        return true;
    return isVolatileEnvironment(root, subPath) || !places(root, subPath).empty();
}

std::vector<std::string> WindowsRegistry::subkeys(RootKey root, const std::string& subPath) const {
    const auto key = std::make_pair(root, subPath);
    if (auto it = subkeyLists_.find(key); it != subkeyLists_.end())
        return it->second;
    std::vector<std::string> names;
    if (root == RootKey::LocalMachine && subPath.empty()) {
        if (software_)
            names.emplace_back("SOFTWARE");
        if (system_)
            names.emplace_back("SYSTEM");
    }
    for (const Place& place : places(root, subPath))
        for (std::string& name : place.first->subkeys(place.second)) {
            bool seen = false;
            for (const std::string& known : names)
                seen = seen || equalsNoCase(known, name);
            if (!seen)
                names.push_back(std::move(name));
        }
    return subkeyLists_.emplace(key, std::move(names)).first->second;
}

std::vector<RegValue> WindowsRegistry::values(RootKey root, const std::string& subPath) const {
    if (isVolatileEnvironment(root, subPath))
        return volatileEnvironment_;
    const std::vector<Place> found = places(root, subPath);
    if (found.empty())
        return {};
    return found.front().first->values(found.front().second);
}

std::optional<std::string> WindowsRegistry::subkeyAt(RootKey root, const std::string& subPath,
                                                     std::size_t index) const {
    const std::vector<std::string> names = subkeys(root, subPath);
    if (index >= names.size())
        return std::nullopt;
    return names[index];
}

std::optional<RegValue> WindowsRegistry::valueAt(RootKey root, const std::string& subPath,
                                                 std::size_t index) const {
    auto key = std::make_pair(root, subPath);
    if (!lastValues_ || lastValues_->first != key)
        lastValues_.emplace(std::move(key), values(root, subPath));
    const std::vector<RegValue>& all = lastValues_->second;
    if (index >= all.size())
        return std::nullopt;
    return all[index];
}

std::optional<RegValue> WindowsRegistry::queryValue(RootKey root, const std::string& subPath,
                                                    const std::string& name) const {
    if (isVolatileEnvironment(root, subPath)) {
        for (const RegValue& v : volatileEnvironment_)
            if (equalsNoCase(v.name, name))
                return v;
        return std::nullopt;
    }
    const std::vector<Place> found = places(root, subPath);
    if (found.empty())
        return std::nullopt;
    return found.front().first->value(found.front().second, name);
}

RegStatus WindowsRegistry::setValue(RootKey, const std::string&, const RegValue&) {
    return ERROR_ACCESS_DENIED;
}

RegStatus WindowsRegistry::deleteValue(RootKey, const std::string&, const std::string&) {
    return ERROR_ACCESS_DENIED;
}

RegStatus WindowsRegistry::deleteKey(RootKey, const std::string&) {
    return ERROR_ACCESS_DENIED;
}

RegStatus WindowsRegistry::createKey(RootKey, const std::string&) {
    return ERROR_ACCESS_DENIED;
}

} // namespace trelmig
