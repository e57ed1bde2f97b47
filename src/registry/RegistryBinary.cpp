#include "registry/RegistryBinary.h"

#include "platform/Utf.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace trelmig {

namespace {

constexpr std::size_t kMaxBinaryBytes = 32767;

struct FoundValue {
    RootKey root;
    std::string subPath;
    RegValue value;
};

// The REG_BINARY value of exactly that name, found by enumeration.
std::optional<FoundValue> findBinaryValue(RegistryKeys& reg, const std::string& keyPath,
                                          const std::string& valueName) {
    std::string sub = keyPath;
    const RootKey root = reg.SplitRegPath(sub);
    if (root == RootKey::None)
        return std::nullopt;
    for (std::size_t i = 0;; ++i) {
        auto value = reg.backend().valueAt(root, sub, i);
        if (!value)
            return std::nullopt;
        if (value->name != valueName || value->type != REG_BINARY)
            continue;
        if (value->data.size() > kMaxBinaryBytes)
            throw RegistryBinaryError("The binary value \"" + valueName + "\" of " + keyPath +
                                      " holds " + std::to_string(value->data.size()) +
                                      " bytes; at most 32767 can be handled.");
        return FoundValue{root, std::move(sub), std::move(*value)};
    }
}

std::vector<std::uint8_t> wideBytes(const std::string& utf8) {
    return utf16LeBytes(utf8ToUtf16(utf8));
}

std::vector<std::uint8_t> narrowBytes(const RegistryKeys& reg, const std::string& utf8) {
    const std::string ansi = reg.ansi().fromUtf8(utf8);
    return {ansi.begin(), ansi.end()};
}

// Replaces every occurrence of from that at least one more byte follows, left
// to right. This is the replacement of the texts' hex renderings (each byte
// followed by "=") in the value's rendering (bytes joined by "="), done on the
// bytes so that a match never starts in the middle of a byte's digits.
std::vector<std::uint8_t> replaceBytes(const std::vector<std::uint8_t>& data,
                                       const std::vector<std::uint8_t>& from,
                                       const std::vector<std::uint8_t>& to) {
    if (from.empty())
        return data;
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    while (i < data.size()) {
        if (i + from.size() < data.size() &&
            std::equal(from.begin(), from.end(), data.begin() + static_cast<long>(i))) {
            out.insert(out.end(), to.begin(), to.end());
            i += from.size();
        } else {
            out.push_back(data[i++]);
        }
    }
    return out;
}

// Zero bytes give nothing; a non-zero byte before a zero byte (or last) is a
// character of its own; other non-zero bytes pair up little-endian.
std::u16string decodeWide(const std::vector<std::uint8_t>& data) {
    std::u16string text;
    std::size_t i = 0;
    while (i < data.size()) {
        if (data[i] == 0) {
            ++i;
        } else if (i + 1 == data.size() || data[i + 1] == 0) {
            text.push_back(data[i]);
            ++i;
        } else {
            text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
            i += 2;
        }
    }
    return text;
}

// The path at the end of the text: the drive letter before the last ":\", or
// the last "\\"; either must stand at the third character or later.
std::optional<std::string> pathAtEnd(const std::u16string& text) {
    const std::size_t colon = text.rfind(u":\\");
    if (colon != std::u16string::npos && colon >= 2)
        return utf16ToUtf8(text.substr(colon - 1));
    const std::size_t unc = text.rfind(u"\\\\");
    if (unc != std::u16string::npos && unc >= 2)
        return utf16ToUtf8(text.substr(unc));
    return std::nullopt;
}

} // namespace

std::optional<std::string> ReadRegBinaryHex(RegistryKeys& reg, const std::string& keyPath,
                                            const std::string& valueName) {
    const auto found = findBinaryValue(reg, keyPath, valueName);
    if (!found || found->value.data.empty())
        return std::nullopt;
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::uint8_t b : found->value.data) {
        if (!hex.empty())
            hex += '=';
        if (b >= 16)
            hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

Result<void> ReplaceInRegBinary(RegistryKeys& reg, const std::string& keyPath,
                                const std::string& valueName, const std::string& oldText,
                                const std::string& newText) {
    auto found = findBinaryValue(reg, keyPath, valueName);
    if (!found || found->value.data.empty())
        return {};
    std::vector<std::uint8_t>& data = found->value.data;
    auto replaced = replaceBytes(data, wideBytes(oldText), wideBytes(newText));
    if (replaced == data)
        replaced = replaceBytes(data, narrowBytes(reg, oldText), narrowBytes(reg, newText));
    data = std::move(replaced);
    if (reg.backend().setValue(found->root, found->subPath, found->value) != ERROR_SUCCESS)
        return Fail("the binary value \"" + valueName + "\" of " + keyPath + " cannot be written");
    return {};
}

std::optional<std::string> ReadRegBinaryPath(RegistryKeys& reg, const std::string& keyPath,
                                             const std::string& valueName) {
    const auto found = findBinaryValue(reg, keyPath, valueName);
    if (!found)
        return std::nullopt;
    return pathAtEnd(decodeWide(found->value.data));
}

std::optional<std::string> ReadRegBinaryPathNarrow(RegistryKeys& reg, const std::string& keyPath,
                                                   const std::string& valueName) {
    const auto found = findBinaryValue(reg, keyPath, valueName);
    if (!found)
        return std::nullopt;
    std::string ansi;
    for (std::uint8_t b : found->value.data)
        if (b != 0)
            ansi.push_back(static_cast<char>(b));
    return pathAtEnd(utf8ToUtf16(reg.ansi().toUtf8(ansi)));
}

} // namespace trelmig

namespace trelmig {

std::optional<std::string> ReadStorePath(RegistryKeys& reg, const std::string& sectionKey) {
    if (auto path = ReadRegBinaryPath(reg, sectionKey, "01020fff"))
        return path;
    return ReadRegBinaryPathNarrow(reg, sectionKey, "01020fff");
}

} // namespace trelmig

namespace trelmig {

namespace {

std::size_t replacePathsInKey(RegistryKeys& reg, RootKey root, const std::string& sub,
                              const std::vector<MovedDataFile>& moved) {
    RegistryBackend& backend = reg.backend();
    std::vector<RegValue> changed;
    for (std::size_t i = 0;; ++i) {
        auto value = backend.valueAt(root, sub, i);
        if (!value)
            break;
        std::vector<std::uint8_t> data = value->data;
        for (const MovedDataFile& file : moved) {
            if (value->type == REG_BINARY) {
                auto replaced =
                    replaceBytes(data, wideBytes(file.oldPath), wideBytes(file.newPath));
                if (replaced == data)
                    replaced = replaceBytes(data, narrowBytes(reg, file.oldPath),
                                            narrowBytes(reg, file.newPath));
                data = std::move(replaced);
            } else if (value->type == REG_SZ || value->type == REG_EXPAND_SZ) {
                std::string text(data.begin(), data.end());
                for (std::size_t at = 0; (at = text.find(file.oldPath, at)) != std::string::npos;
                     at += file.newPath.size())
                    text.replace(at, file.oldPath.size(), file.newPath);
                data.assign(text.begin(), text.end());
            }
        }
        if (data != value->data) {
            value->data = std::move(data);
            changed.push_back(std::move(*value));
        }
    }
    // Written after the enumeration, which they must not disturb.
    for (const RegValue& value : changed)
        backend.setValue(root, sub, value);
    std::size_t count = changed.size();
    for (std::size_t i = 0;; ++i) {
        const auto subkey = backend.subkeyAt(root, sub, i);
        if (!subkey)
            break;
        count += replacePathsInKey(reg, root, sub.empty() ? *subkey : sub + "\\" + *subkey, moved);
    }
    return count;
}

} // namespace

std::size_t ReplaceDataFilePathsBelow(RegistryKeys& reg, const std::string& keyPath,
                                      const std::vector<MovedDataFile>& moved) {
    std::string sub = keyPath;
    const RootKey root = reg.SplitRegPath(sub);
    if (root == RootKey::None || moved.empty() || !reg.backend().keyExists(root, sub))
        return 0;
    return replacePathsInKey(reg, root, sub, moved);
}

} // namespace trelmig
