#pragma once

#include "platform/RegistryBackend.h"
#include "platform/Utf.h"

#include <map>
#include <string>
#include <utility>

// A registry in memory for tests: keys and value names compared without
// regard to case, values kept in the order they were first set.
class FakeRegistry : public trelmig::RegistryBackend {
public:
    using RootKey = trelmig::RootKey;
    using RegValue = trelmig::RegValue;
    using RegStatus = trelmig::RegStatus;

    void setString(RootKey root, const std::string& key, const std::string& name,
                   const std::string& text, std::uint32_t type = trelmig::REG_SZ) {
        std::string data = text + '\0';
        createKey(root, key);
        setValue(root, key, RegValue{name, type, {data.begin(), data.end()}});
    }
    void setDword(RootKey root, const std::string& key, const std::string& name,
                  std::uint32_t number) {
        createKey(root, key);
        setValue(root, key,
                 RegValue{name,
                          trelmig::REG_DWORD,
                          {std::uint8_t(number), std::uint8_t(number >> 8),
                           std::uint8_t(number >> 16), std::uint8_t(number >> 24)}});
    }

    bool keyExists(RootKey root, const std::string& subPath) const override {
        return keys_.count(id(root, subPath)) != 0;
    }
    std::optional<std::string> subkeyAt(RootKey root, const std::string& subPath,
                                        std::size_t index) const override {
        if (!keyExists(root, subPath))
            return std::nullopt;
        const auto parent = id(root, subPath);
        for (const auto& [keyId, key] : keys_) {
            if (keyId.first != parent.first || keyId.second.size() <= parent.second.size())
                continue;
            std::u16string_view rest(keyId.second);
            if (!parent.second.empty()) {
                if (!rest.starts_with(parent.second + u"\\"))
                    continue;
                rest.remove_prefix(parent.second.size() + 1);
            }
            if (rest.find(u'\\') == std::u16string_view::npos && index-- == 0)
                return key.name.substr(key.name.rfind('\\') + 1);
        }
        return std::nullopt;
    }
    std::optional<RegValue> valueAt(RootKey root, const std::string& subPath,
                                    std::size_t index) const override {
        auto key = keys_.find(id(root, subPath));
        if (key == keys_.end() || index >= key->second.values.size())
            return std::nullopt;
        return key->second.values[index];
    }
    std::optional<RegValue> queryValue(RootKey root, const std::string& subPath,
                                       const std::string& name) const override {
        auto key = keys_.find(id(root, subPath));
        if (key == keys_.end())
            return std::nullopt;
        for (const RegValue& value : key->second.values)
            if (trelmig::equalsNoCase(value.name, name))
                return value;
        return std::nullopt;
    }
    RegStatus setValue(RootKey root, const std::string& subPath, const RegValue& value) override {
        auto key = keys_.find(id(root, subPath));
        if (key == keys_.end())
            return trelmig::ERROR_FILE_NOT_FOUND;
        for (RegValue& existing : key->second.values)
            if (trelmig::equalsNoCase(existing.name, value.name)) {
                existing = value;
                return trelmig::ERROR_SUCCESS;
            }
        key->second.values.push_back(value);
        return trelmig::ERROR_SUCCESS;
    }
    RegStatus deleteValue(RootKey root, const std::string& subPath,
                          const std::string& name) override {
        auto key = keys_.find(id(root, subPath));
        if (key == keys_.end())
            return trelmig::ERROR_FILE_NOT_FOUND;
        auto& values = key->second.values;
        for (auto it = values.begin(); it != values.end(); ++it)
            if (trelmig::equalsNoCase(it->name, name)) {
                values.erase(it);
                return trelmig::ERROR_SUCCESS;
            }
        return trelmig::ERROR_FILE_NOT_FOUND;
    }
    RegStatus deleteKey(RootKey root, const std::string& subPath) override {
        if (!keyExists(root, subPath))
            return trelmig::ERROR_FILE_NOT_FOUND;
        if (subkeyAt(root, subPath, 0))
            return trelmig::ERROR_ACCESS_DENIED;
        keys_.erase(id(root, subPath));
        return trelmig::ERROR_SUCCESS;
    }
    RegStatus createKey(RootKey root, const std::string& subPath) override {
        std::size_t end = 0;
        while (end != std::string::npos) {
            end = subPath.find('\\', end + 1);
            std::string prefix = subPath.substr(0, end);
            keys_.try_emplace(id(root, prefix), Key{prefix, {}});
        }
        return trelmig::ERROR_SUCCESS;
    }
    void save() override {}
    void revert() override {}

private:
    struct Key {
        std::string name;
        std::vector<RegValue> values;
    };
    using KeyId = std::pair<RootKey, std::u16string>;

    static KeyId id(RootKey root, const std::string& subPath) {
        return {root, trelmig::foldCase(trelmig::utf8ToUtf16(subPath))};
    }

    std::map<KeyId, Key> keys_;
};
