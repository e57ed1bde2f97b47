#include "registry/RegistrySnapshot.h"

#include "platform/RegistryTree.h"
#include "platform/Utf.h"
#include "platform/WineRegistry.h"
#include "platform/WineRegistryFormat.h"
#include "registry/RegistryKeys.h"

#include <stdexcept>

namespace trelmig {

namespace {

struct KeyPlace {
    RootKey root;
    std::string sub;
};

std::optional<KeyPlace> placeOf(RegistryKeys& reg, const std::string& keyPath) {
    std::string sub = keyPath;
    const RootKey root = reg.SplitRegPath(sub);
    if (root == RootKey::None || sub.empty())
        return std::nullopt;
    return KeyPlace{root, sub};
}

Result<void> copyTree(const RegistryBackend& registry, RootKey root, const std::string& sub,
                      RegNode& into, std::size_t depth) {
    if (depth > kMaxKeyDepth)
        return Fail("the registry key " + sub + " nests too deep to be kept");
    for (std::size_t i = 0;; ++i) {
        const auto value = registry.valueAt(root, sub, i);
        if (!value)
            break;
        into.setValue(fromRegValue(*value), true);
    }
    for (std::size_t i = 0;; ++i) {
        const auto name = registry.subkeyAt(root, sub, i);
        if (!name)
            break;
        RegNode& child = *into.addSubkey(utf8ToUtf16(*name), currentFileTime(), true);
        if (auto copied = copyTree(registry, root, sub + "\\" + *name, child, depth + 1); !copied)
            return copied;
    }
    return {};
}

Result<void> succeeded(RegStatus status, const std::string& what) {
    if (status != ERROR_SUCCESS)
        return Fail("cannot " + what + " (status " + std::to_string(status) + ")");
    return {};
}

Result<void> deleteTree(RegistryBackend& registry, RootKey root, const std::string& sub) {
    for (;;) {
        const auto name = registry.subkeyAt(root, sub, 0);
        if (!name)
            break;
        if (auto deleted = deleteTree(registry, root, sub + "\\" + *name); !deleted)
            return deleted;
    }
    return succeeded(registry.deleteKey(root, sub), "delete the registry key " + sub);
}

Result<void> putBack(RegistryBackend& registry, RootKey root, const std::string& sub,
                     const RegNode& node) {
    if (auto made = succeeded(registry.createKey(root, sub), "create the registry key " + sub);
        !made)
        return made;
    for (const auto& value : node.values)
        if (auto set = succeeded(registry.setValue(root, sub, toRegValue(value)),
                                 "write a value of " + sub);
            !set)
            return set;
    for (const auto& child : node.subkeys)
        if (auto put = putBack(registry, root, sub + "\\" + utf16ToUtf8(child->name), *child); !put)
            return put;
    return {};
}

// The key as the snapshot holds it, in hive (which the answer points into).
Result<const RegNode*> keptKey(const std::string& snapshot, const std::string& snapshotName,
                               const KeyPlace& key, RegHive& hive) {
    try {
        hive = parseWineRegistry(snapshot, snapshotName);
    } catch (const std::exception& e) { // RegistryError names the file and the line
        return Fail(e.what());
    }
    const RegNode* node = hive.root.get();
    for (const auto part : SplitKeyPath<char>(key.sub)) {
        node = node->findSubkey(utf8ToUtf16(part));
        if (!node)
            return Fail(snapshotName + " does not hold the key " + key.sub);
    }
    return node;
}

} // namespace

Result<std::string> KeySnapshot(RegistryKeys& reg, const std::string& keyPath,
                                const std::string* onlyValue) {
    const auto key = placeOf(reg, keyPath);
    if (!key)
        return Fail("the registry key " + keyPath + " cannot be kept for the undo");
    const RegistryBackend& registry = reg.backend();
    RegHive hive;
    hive.preamble = defaultPreamble("REGISTRY");
    RegNode* node = hive.root.get();
    for (const auto part : SplitKeyPath<char>(key->sub))
        node = node->addSubkey(utf8ToUtf16(part), currentFileTime(), true);
    if (onlyValue) {
        if (const auto value = registry.queryValue(key->root, key->sub, *onlyValue))
            node->setValue(fromRegValue(*value), true);
    } else if (auto copied = copyTree(registry, key->root, key->sub, *node, 0); !copied) {
        return std::unexpected(copied.error());
    }
    return formatWineRegistry(hive);
}

bool HasRegValue(RegistryKeys& reg, const std::string& keyPath, const std::string& valueName) {
    const auto key = placeOf(reg, keyPath);
    return key && reg.backend().queryValue(key->root, key->sub, valueName).has_value();
}

Result<void> PutBackKey(RegistryKeys& reg, const std::string& keyPath, const std::string* snapshot,
                        const std::string& snapshotName) {
    const auto key = placeOf(reg, keyPath);
    if (!key)
        return Fail("the registry key " + keyPath + " cannot be kept for the undo");
    RegistryBackend& registry = reg.backend();
    if (registry.keyExists(key->root, key->sub))
        if (auto deleted = deleteTree(registry, key->root, key->sub); !deleted)
            return deleted;
    if (!snapshot)
        return {};
    RegHive hive;
    const auto kept = keptKey(*snapshot, snapshotName, *key, hive);
    if (!kept)
        return std::unexpected(kept.error());
    return putBack(registry, key->root, key->sub, **kept);
}

Result<void> PutBackValue(RegistryKeys& reg, const std::string& keyPath,
                          const std::string& valueName, const std::string* snapshot,
                          const std::string& snapshotName) {
    const auto key = placeOf(reg, keyPath);
    if (!key)
        return Fail("the registry key " + keyPath + " cannot be kept for the undo");
    RegistryBackend& registry = reg.backend();
    if (!snapshot) {
        if (!registry.queryValue(key->root, key->sub, valueName))
            return {};
        return succeeded(registry.deleteValue(key->root, key->sub, valueName),
                         "delete a value of " + key->sub);
    }
    RegHive hive;
    const auto kept = keptKey(*snapshot, snapshotName, *key, hive);
    if (!kept)
        return std::unexpected(kept.error());
    if (auto made = succeeded(registry.createKey(key->root, key->sub), "create " + key->sub); !made)
        return made;
    for (const auto& value : (*kept)->values)
        if (auto set = succeeded(registry.setValue(key->root, key->sub, toRegValue(value)),
                                 "write a value of " + key->sub);
            !set)
            return set;
    return {};
}

} // namespace trelmig
