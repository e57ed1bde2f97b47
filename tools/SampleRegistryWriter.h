// A small in-memory registry hive that saves itself exactly as Wine 8.0's
// wineserver saves user.reg, system.reg and userdef.reg. Used to generate the
// sample prefix; names are compared the way wineserver compares them (UTF-16
// code units mapped to lower case, then length), which for the ASCII names of
// the sample is plain ASCII lower-casing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sample {

using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

// UTF-8 (well-formed, as written in this source) to UTF-16.
inline std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if (c < 0xE0) {
            cp = c & 0x1F;
            extra = 1;
        } else if (c < 0xF0) {
            cp = c & 0x0F;
            extra = 2;
        } else {
            cp = c & 0x07;
            extra = 3;
        }
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += 1 + extra;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

// Text as UTF-16LE bytes followed by a NUL code unit.
inline Bytes wideBytes(std::string_view utf8) {
    Bytes out;
    for (char16_t u : toUtf16(utf8)) {
        out.push_back(static_cast<unsigned char>(u));
        out.push_back(static_cast<unsigned char>(u >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

// Text as single bytes (Latin-1 range, which code page 1252 shares) and a NUL.
inline Bytes narrowBytes(std::string_view utf8) {
    Bytes out;
    for (char16_t u : toUtf16(utf8))
        out.push_back(static_cast<unsigned char>(u));
    out.push_back(0);
    return out;
}

inline Bytes dwordBytes(std::uint32_t v) {
    return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
}

// Seconds between 1601-01-01 and 1970-01-01, in FILETIME ticks.
constexpr std::uint64_t kTicks1601To1970 = 116444736000000000ULL;
constexpr std::uint64_t kTicksPerSecond = 10000000ULL;

inline int compareNames(const std::u16string& a, const std::u16string& b) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int d = int(lower(a[i])) - int(lower(b[i]));
        if (d != 0)
            return d;
    }
    return int(a.size()) - int(b.size());
}

struct RegValue {
    std::u16string name; // empty: the default value
    std::uint32_t type;
    Bytes data;
};

struct RegKey {
    std::u16string name;
    std::uint64_t modified = 0; // FILETIME
    std::vector<RegValue> values;
    std::vector<std::unique_ptr<RegKey>> subkeys;

    RegKey& child(const std::u16string& childName) {
        auto it = subkeys.begin();
        while (it != subkeys.end() && compareNames((*it)->name, childName) < 0)
            ++it;
        if (it != subkeys.end() && compareNames((*it)->name, childName) == 0)
            return **it;
        auto created = std::make_unique<RegKey>();
        created->name = childName;
        return **subkeys.insert(it, std::move(created));
    }

    void set(RegValue value) {
        auto it = values.begin();
        while (it != values.end() && compareNames(it->name, value.name) < 0)
            ++it;
        if (it != values.end() && compareNames(it->name, value.name) == 0)
            *it = std::move(value);
        else
            values.insert(it, std::move(value));
    }
};

namespace wine {

// Appends a string with wineserver's escaping; returns the characters written.
inline int dumpString(std::string& out, const char16_t* s, std::size_t len, const char* escape) {
    static const char escapes[33] = ".......abtnvfr.............e....";
    const std::size_t start = out.size();
    char buf[16];
    for (; len; ++s, --len) {
        if (*s > 127) {
            auto isHex = [](char16_t c) {
                return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') ||
                       (c >= u'A' && c <= u'F');
            };
            if (len > 1 && s[1] < 128 && isHex(s[1]))
                std::snprintf(buf, sizeof buf, "\\x%04x", unsigned(*s));
            else
                std::snprintf(buf, sizeof buf, "\\x%x", unsigned(*s));
            out += buf;
            continue;
        }
        if (*s < 32) {
            if (escapes[*s] != '.')
                std::snprintf(buf, sizeof buf, "\\%c", escapes[*s]);
            else if (len > 1 && s[1] >= u'0' && s[1] <= u'7')
                std::snprintf(buf, sizeof buf, "\\%03o", unsigned(*s));
            else
                std::snprintf(buf, sizeof buf, "\\%o", unsigned(*s));
            out += buf;
            continue;
        }
        if (*s == u'\\' || *s == char16_t(escape[0]) || *s == char16_t(escape[1]))
            out += '\\';
        out += static_cast<char>(*s);
    }
    return static_cast<int>(out.size() - start);
}

inline void dumpValue(std::string& out, const RegValue& v) {
    int count;
    if (!v.name.empty()) {
        out += '"';
        count = 1 + dumpString(out, v.name.data(), v.name.size(), "\"\"");
        out += "\"=";
        count += 2;
    } else {
        out += "@=";
        count = 2;
    }

    const std::size_t len = v.data.size();
    char buf[32];
    if (v.type == kRegSz || v.type == kRegExpandSz || v.type == 7) {
        // Only properly terminated strings are written as text.
        if (len >= 2 && len % 2 == 0 && v.data[len - 2] == 0 && v.data[len - 1] == 0) {
            if (v.type != kRegSz) {
                std::snprintf(buf, sizeof buf, "str(%x):", unsigned(v.type));
                out += buf;
            }
            std::u16string text;
            for (std::size_t i = 0; i + 1 < len; i += 2)
                text.push_back(char16_t(v.data[i] | (v.data[i + 1] << 8)));
            out += '"';
            dumpString(out, text.data(), text.size() - 1, "\"\"");
            out += "\"\n";
            return;
        }
    } else if (v.type == kRegDword && len == 4) {
        const std::uint32_t dw = std::uint32_t(v.data[0]) | std::uint32_t(v.data[1]) << 8 |
                                 std::uint32_t(v.data[2]) << 16 | std::uint32_t(v.data[3]) << 24;
        std::snprintf(buf, sizeof buf, "dword:%08x\n", unsigned(dw));
        out += buf;
        return;
    }

    if (v.type == kRegBinary)
        std::snprintf(buf, sizeof buf, "hex:");
    else
        std::snprintf(buf, sizeof buf, "hex(%x):", unsigned(v.type));
    out += buf;
    count += static_cast<int>(std::string_view(buf).size());
    for (std::size_t i = 0; i < len; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", unsigned(v.data[i]));
        out += buf;
        count += 2;
        if (i < len - 1) {
            out += ',';
            if (++count > 76) {
                out += "\\\n  ";
                count = 2;
            }
        }
    }
    out += '\n';
}

inline void dumpPath(std::string& out, const std::vector<const RegKey*>& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i > 0)
            out += "\\\\";
        dumpString(out, path[i]->name.data(), path[i]->name.size(), "[]");
    }
}

inline void saveSubkeys(std::string& out, const RegKey& key, std::vector<const RegKey*>& path) {
    // Keys with subkeys but no values are implied by their subkeys.
    if (!key.values.empty() || key.subkeys.empty()) {
        char buf[64];
        out += "\n[";
        dumpPath(out, path);
        std::snprintf(buf, sizeof buf, "] %u\n",
                      unsigned((key.modified - kTicks1601To1970) / kTicksPerSecond));
        out += buf;
        std::snprintf(buf, sizeof buf, "#time=%x%08x\n", unsigned(key.modified >> 32),
                      unsigned(key.modified & 0xFFFFFFFFu));
        out += buf;
        for (const RegValue& v : key.values)
            dumpValue(out, v);
    }
    for (const auto& sub : key.subkeys) {
        path.push_back(sub.get());
        saveSubkeys(out, *sub, path);
        path.pop_back();
    }
}

} // namespace wine

// The whole file: header naming the hive's place (e.g. "REGISTRY\Machine"),
// the architecture line, then every key below the root.
inline std::string saveWineRegistry(const RegKey& root, std::string_view relativeTo,
                                    std::string_view arch) {
    std::string out = "WINE REGISTRY Version 2\n;; All keys relative to ";
    std::size_t start = 0;
    while (start <= relativeTo.size()) {
        std::size_t end = relativeTo.find('\\', start);
        if (end == std::string_view::npos)
            end = relativeTo.size();
        const std::u16string part = toUtf16(relativeTo.substr(start, end - start));
        if (start > 0)
            out += "\\\\";
        wine::dumpString(out, part.data(), part.size(), "[]");
        start = end + 1;
    }
    out += "\n\n#arch=";
    out += arch;
    out += '\n';
    std::vector<const RegKey*> path;
    for (const auto& sub : root.subkeys) {
        path.push_back(sub.get());
        wine::saveSubkeys(out, *sub, path);
        path.pop_back();
    }
    return out;
}

} // namespace sample
