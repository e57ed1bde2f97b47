#pragma once

// A Wine registry file as the round trip sees it: keys by path, each with its
// values. Written and read here without the program's registry code, so that
// a fault shared by its reader and writer cannot hide itself.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace roundtrip {

enum RegType : std::uint32_t {
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
    kRegQword = 11,
};

struct RegData {
    std::uint32_t type = kRegSz;
    std::vector<unsigned char> bytes; // as Windows stores them (strings in UTF-16LE with NUL)
    bool operator==(const RegData&) const = default;
};

struct RegKey {
    std::string path; // UTF-8, single backslashes, as first spelled
    // Values by lower-cased name; the name as spelled and its data.
    std::map<std::string, std::pair<std::string, RegData>> values;
};

// One hive: "user.reg" (HKCU), "system.reg" (HKLM) or "userdef.reg".
class RegFileModel {
public:
    explicit RegFileModel(std::string relativeTo = "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000",
                          bool win64 = true)
        : relativeTo_(std::move(relativeTo)), win64_(win64) {}

    RegKey& key(const std::string& path); // created when missing, with its parents implied
    const RegKey* find(const std::string& path) const;
    // Every key at or below path (path itself first), by lower-cased path.
    std::vector<const RegKey*> subtree(const std::string& path) const;
    std::vector<std::string> subkeyNames(const std::string& path) const;
    std::vector<const RegKey*> allKeys() const;

    void setString(const std::string& key, const std::string& name, const std::string& utf8,
                   std::uint32_t type = kRegSz);
    void setDword(const std::string& key, const std::string& name, std::uint32_t value);
    void setBinary(const std::string& key, const std::string& name,
                   std::vector<unsigned char> bytes);
    std::optional<RegData> value(const std::string& key, const std::string& name) const;

    bool win64() const { return win64_; }
    void write(const std::filesystem::path& file) const;
    static RegFileModel read(const std::filesystem::path& file); // throws on malformed text

private:
    std::string relativeTo_;
    bool win64_;
    std::map<std::string, RegKey> keys_; // by lower-cased path
};

// Helpers shared by the generator and the comparisons.
std::string lower(std::string text);
std::u16string utf8ToUtf16(const std::string& utf8);
std::string utf16ToUtf8(const std::u16string& text);
std::vector<unsigned char> utf16Bytes(const std::string& utf8, bool withNul = true);
std::string stringOf(const RegData& data); // REG_SZ/REG_EXPAND_SZ text up to its NUL, UTF-8

} // namespace roundtrip
