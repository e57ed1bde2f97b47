#include "registry/RegistryKeys.h"

#include "core/Message.h"

#include <exception>

namespace trelmig {

namespace {

// Longest string value ReadRegString accepts, in ANSI bytes (its buffer holds
// 255 bytes including the terminator).
constexpr std::size_t kStringBufferBytes = 255;

// A key path split into its root key and the path below it.
struct KeyPlace {
    RootKey root;
    std::string sub;
};

// Fails for a malformed key path (which SplitRegPath has shown the user).
Result<KeyPlace> placeOf(RegistryKeys& keys, const std::string& keyPath) {
    std::string sub = keyPath;
    const RootKey root = keys.SplitRegPath(sub);
    if (root == RootKey::None)
        return Fail(MessageText(MessageId::RegistryPathMalformed, keyPath));
    return KeyPlace{root, std::move(sub)};
}

} // namespace

std::string TrimBlanks(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

RegistryKeys::RegistryKeys(RegistryBackend& registry, Prompter& prompter, const AnsiCodec& ansi)
    : registry_(registry), prompter_(prompter), ansi_(ansi) {}

RootKey RegistryKeys::RootKeyFromName(const std::string& rootName) {
    static const std::pair<const char*, RootKey> roots[] = {
        {"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},
        {"HKEY_CURRENT_USER", RootKey::CurrentUser},
        {"HKEY_LOCAL_MACHINE", RootKey::LocalMachine},
        {"HKEY_USERS", RootKey::Users},
        {"HKEY_PERFORMANCE_DATA", RootKey::PerformanceData},
        {"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig},
        {"HKEY_DYN_DATA", RootKey::DynData},
    };
    for (const auto& [name, key] : roots)
        if (rootName == name)
            return key;
    return RootKey::None;
}

RootKey RegistryKeys::SplitRegPath(std::string& path) {
    if (!path.starts_with("HKEY_") || path.ends_with('\\')) {
        prompter_.ShowMessage({MessageId::RegistryPathIncorrect, {path}}, MessageIcon::None,
                              MessageButtons::Ok);
        return RootKey::None;
    }
    const auto slash = path.find('\\');
    if (slash == std::string::npos) {
        RootKey root = RootKeyFromName(path);
        path.clear();
        return root;
    }
    RootKey root = RootKeyFromName(path.substr(0, slash));
    path = path.substr(slash + 1);
    return root;
}

bool RegistryKeys::RegKeyExists(const std::string& keyPath) {
    std::string sub = keyPath;
    const RootKey root = SplitRegPath(sub);
    return root != RootKey::None && registry_.keyExists(root, sub);
}

std::optional<std::string> RegistryKeys::ReadRegString(const std::string& keyPath,
                                                       const std::string& valueName) {
    std::string sub = keyPath;
    const RootKey root = SplitRegPath(sub);
    if (root == RootKey::None)
        return std::nullopt;
    const auto value = registry_.queryValue(root, sub, valueName);
    if (!value)
        return std::nullopt;
    std::string text(value->data.begin(), value->data.end());
    // The buffer holds the text as the ANSI entry points deliver it.
    std::size_t ansiSize = isStringType(value->type) ? ansi_.fromUtf8(text).size() : text.size();
    if (isStringType(value->type) && (text.empty() || text.back() != '\0'))
        ++ansiSize; // the terminator the ANSI conversion adds
    if (ansiSize > kStringBufferBytes)
        return std::nullopt;
    const auto nul = text.find('\0');
    if (nul != std::string::npos)
        text.resize(nul);
    return TrimBlanks(text);
}

Result<void> RegistryKeys::WriteRegString(const std::string& keyPath, const std::string& valueName,
                                          const std::string& text) {
    std::string sub = keyPath;
    const RootKey root = SplitRegPath(sub);
    if (root == RootKey::None || !registry_.keyExists(root, sub))
        return Fail(MessageText(MessageId::RegistryKeyMissing, keyPath));
    // Stored with its terminator, as every reader of REG_SZ expects.
    RegValue value{valueName, REG_SZ, std::vector<std::uint8_t>(text.begin(), text.end())};
    value.data.push_back(0);
    if (registry_.setValue(root, sub, value) != ERROR_SUCCESS)
        return Fail(MessageText(MessageId::RegistryValueNotWritten, valueName, keyPath));
    return {};
}

Result<void> RegistryKeys::CreateRegKey(const std::string& keyPath) {
    const auto key = placeOf(*this, keyPath);
    if (!key)
        return std::unexpected(key.error());
    if (registry_.createKey(key->root, key->sub) != ERROR_SUCCESS)
        return Fail(MessageText(MessageId::RegistryKeyNotMade, keyPath));
    return {};
}

Result<void> RegistryKeys::DeleteRegValue(const std::string& keyPath,
                                          const std::string& valueName) {
    const auto key = placeOf(*this, keyPath);
    if (!key)
        return std::unexpected(key.error());
    const RegStatus status = registry_.deleteValue(key->root, key->sub, valueName);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return Fail(MessageText(MessageId::RegistryValueNotDeleted, valueName, keyPath));
    return {};
}

Result<void> RegistryKeys::DeleteRegKey(const std::string& keyPath) {
    const auto key = placeOf(*this, keyPath);
    if (!key)
        return std::unexpected(key.error());
    if (key->sub.empty())
        return Fail(MessageText(MessageId::RegistryRootNotDeleted, keyPath));
    if (!registry_.keyExists(key->root, key->sub))
        return {};
    if (registry_.deleteKey(key->root, key->sub) != ERROR_SUCCESS)
        return Fail(MessageText(MessageId::RegistryKeyNotDeleted, keyPath));
    return {};
}

Result<void> RegistryKeys::DeleteRegTree(const std::string& keyPath) {
    for (const auto& name : EnumRegSubkeys(keyPath))
        if (auto deleted = DeleteRegTree(keyPath + "\\" + name); !deleted)
            return deleted;
    return DeleteRegKey(keyPath);
}

Result<void> RegistryKeys::Save() {
    try {
        registry_.save();
        return {};
    } catch (const std::exception& e) { // RegistryError names the file and the reason
        registry_.revert();
        return Fail(e.what());
    }
}

std::vector<std::string> RegistryKeys::EnumRegSubkeys(const std::string& keyPath) {
    std::vector<std::string> names;
    std::string sub = keyPath;
    const RootKey root = SplitRegPath(sub);
    if (root == RootKey::None || !registry_.keyExists(root, sub))
        return names;
    for (std::size_t i = 0;; ++i) {
        auto name = registry_.subkeyAt(root, sub, i);
        if (!name)
            break;
        const auto nul = name->find('\0');
        if (nul != std::string::npos)
            name->resize(nul);
        names.push_back(std::move(*name)); // the registry keeps names unique
    }
    return names;
}

} // namespace trelmig
