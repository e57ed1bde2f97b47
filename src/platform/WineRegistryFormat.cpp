#include "platform/WineRegistryFormat.h"

#include "platform/Text.h"

#include "platform/RegistryBackend.h"
#include "platform/Utf.h"

#include <charconv>
#include <cstdio>

namespace trelmig {

namespace {

constexpr std::uint64_t kTicks1601To1970 = 116444736000000000ull;
constexpr std::uint64_t kTicksPerSecond = 10000000ull;

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

class Parser {
public:
    Parser(std::string_view text, const std::string& fileName) : text_(text), file_(fileName) {}

    RegHive run() {
        RegHive hive;
        if (!nextLine() || line_ != "WINE REGISTRY Version 2")
            fail("not a Wine registry file (the first line is not \"WINE REGISTRY Version 2\")");
        // The comment and option lines before the first key stay as written;
        // the blank line before each key is the writer's.
        std::size_t preambleEnd = pos_;
        bool more = nextLine();
        while (more && (line_.empty() || line_[0] == ';' || line_[0] == '#')) {
            if (!line_.empty())
                preambleEnd = pos_;
            more = nextLine();
        }
        hive.preamble = std::string(text_.substr(0, preambleEnd));
        if (!more)
            return hive;

        RegNode* key = nullptr;
        do {
            std::string_view l = line_;
            while (!l.empty() && (l.front() == ' ' || l.front() == '\t'))
                l.remove_prefix(1);
            if (l.empty() || l[0] == ';')
                continue;
            switch (l[0]) {
            case '[':
                key = keyLine(*hive.root, l);
                break;
            case '#':
                optionLine(key, l);
                break;
            case '@':
            case '"':
                if (!key)
                    fail("value outside of any key");
                valueLine(*key, l);
                break;
            default:
                fail("unrecognised line");
            }
        } while (nextLine());
        return hive;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw RegistryError(file_ + ":" + std::to_string(lineNo_) + ": " + what);
    }

    bool nextLine() {
        if (pos_ >= text_.size())
            return false;
        lineStart_ = pos_;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos)
            end = text_.size();
        line_ = text_.substr(pos_, end - pos_);
        if (!line_.empty() && line_.back() == '\r')
            line_.remove_suffix(1);
        pos_ = end < text_.size() ? end + 1 : end;
        ++lineNo_;
        return true;
    }

    // Decodes an escaped string up to the unescaped delimiter; returns the
    // number of characters consumed including the delimiter.
    std::size_t parseString(std::string_view s, char delimiter, std::u16string& out) {
        std::size_t i = 0;
        std::string raw;
        auto flushRaw = [&] {
            if (!raw.empty()) {
                out += utf8ToUtf16(raw);
                raw.clear();
            }
        };
        while (i < s.size()) {
            char c = s[i];
            if (c == delimiter) {
                flushRaw();
                return i + 1;
            }
            if (c != '\\') {
                raw.push_back(c);
                ++i;
                continue;
            }
            flushRaw();
            if (++i >= s.size())
                break;
            c = s[i];
            switch (c) {
            case 'a':
                out.push_back(u'\a');
                ++i;
                break;
            case 'b':
                out.push_back(u'\b');
                ++i;
                break;
            case 'e':
                out.push_back(u'\x1b');
                ++i;
                break;
            case 'f':
                out.push_back(u'\f');
                ++i;
                break;
            case 'n':
                out.push_back(u'\n');
                ++i;
                break;
            case 'r':
                out.push_back(u'\r');
                ++i;
                break;
            case 't':
                out.push_back(u'\t');
                ++i;
                break;
            case 'v':
                out.push_back(u'\v');
                ++i;
                break;
            case 'x': {
                ++i;
                unsigned v = 0;
                int digits = 0;
                while (digits < 4 && i < s.size() && HexDigitValue(s[i]) >= 0) {
                    v = v * 16 + static_cast<unsigned>(HexDigitValue(s[i]));
                    ++i;
                    ++digits;
                }
                if (digits == 0)
                    fail("\\x without hex digits");
                out.push_back(static_cast<char16_t>(v));
                break;
            }
            default:
                if (c >= '0' && c <= '7') {
                    unsigned v = 0;
                    int digits = 0;
                    while (digits < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7') {
                        v = v * 8 + static_cast<unsigned>(s[i] - '0');
                        ++i;
                        ++digits;
                    }
                    out.push_back(static_cast<char16_t>(v));
                } else {
                    raw.push_back(c);
                    ++i;
                }
            }
        }
        fail(std::string("missing closing ") + delimiter);
    }

    RegNode* keyLine(RegNode& root, std::string_view l) {
        std::u16string path;
        std::size_t used = 1 + parseString(l.substr(1), ']', path);
        std::string_view rest = l.substr(used);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
            rest.remove_prefix(1);
        // A key without a time was written by hand: it changes now.
        std::uint64_t modif = currentFileTime();
        if (!rest.empty()) {
            std::uint64_t seconds = 0;
            auto [p, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), seconds);
            if (ec != std::errc())
                fail("bad time after key name");
            modif = seconds * kTicksPerSecond + kTicks1601To1970;
        }
        RegNode* node = &root;
        std::size_t depth = 0;
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t end = path.find(u'\\', start);
            if (end == std::u16string::npos)
                end = path.size();
            if (end == start) {
                if (path.empty())
                    break;
                fail("empty key name in path");
            }
            if (++depth > kMaxKeyDepth)
                fail("key nested deeper than " + std::to_string(kMaxKeyDepth) + " levels");
            node =
                node->addSubkey(std::u16string_view(path).substr(start, end - start), modif, true);
            start = end + 1;
        }
        node->modif = modif;
        return node;
    }

    void optionLine(RegNode* key, std::string_view l) {
        if (l.starts_with("#arch="))
            return;
        if (!key)
            fail("option outside of any key");
        if (l.starts_with("#time=")) {
            std::uint64_t t = 0;
            auto s = l.substr(6);
            auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), t, 16);
            if (ec != std::errc())
                fail("bad #time");
            key->modif = t;
        } else if (l.starts_with("#class=\"")) {
            std::u16string cls;
            parseString(l.substr(8), '"', cls);
            key->className = cls;
        } else if (l == "#link") {
            key->isLink = true;
        }
        // Other options of newer Wine versions carry nothing we keep.
    }

    void valueLine(RegNode& key, std::string_view l) {
        RegNode::Value value;
        std::size_t i = 0;
        if (l[0] == '@') {
            i = 1;
        } else {
            i = 1 + parseString(l.substr(1), '"', value.name);
        }
        auto skipBlanks = [&] {
            while (i < l.size() && (l[i] == ' ' || l[i] == '\t'))
                ++i;
        };
        skipBlanks();
        if (i >= l.size() || l[i] != '=')
            fail("missing \"=\" after value name");
        ++i;
        skipBlanks();
        std::string_view data = l.substr(i);

        auto stringData = [&](std::size_t skip, std::uint32_t type) {
            std::u16string s;
            parseString(data.substr(skip), '"', s);
            s.push_back(u'\0');
            value.type = type;
            value.data = utf16LeBytes(s);
        };

        if (data.starts_with("\"")) {
            stringData(1, REG_SZ);
        } else if (data.starts_with("str:\"")) {
            stringData(5, REG_SZ);
        } else if (data.starts_with("str(2):\"")) {
            stringData(8, REG_EXPAND_SZ);
        } else if (data.starts_with("str(7):\"")) {
            stringData(8, REG_MULTI_SZ);
        } else if (data.starts_with("dword:")) {
            std::uint32_t dw = 0;
            auto s = data.substr(6);
            const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), dw, 16);
            // Up to eight hex digits, then nothing but blanks.
            const std::string_view after(end, static_cast<std::size_t>(s.data() + s.size() - end));
            if (ec != std::errc() || !isHexDigit(static_cast<char16_t>(s[0])) ||
                after.find_first_not_of(" \t") != std::string_view::npos)
                fail("bad dword value");
            value.type = REG_DWORD;
            value.data = {static_cast<std::uint8_t>(dw), static_cast<std::uint8_t>(dw >> 8),
                          static_cast<std::uint8_t>(dw >> 16), static_cast<std::uint8_t>(dw >> 24)};
        } else if (data.starts_with("hex:")) {
            value.type = REG_BINARY;
            hexData(data.substr(4), value.data);
        } else if (data.starts_with("hex(")) {
            auto s = data.substr(4);
            std::uint32_t type = 0;
            auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), type, 16);
            if (ec != std::errc() || std::string_view(p, s.data() + s.size()).substr(0, 2) != "):")
                fail("bad hex(type): value");
            value.type = type;
            hexData(std::string_view(p + 2, s.data() + s.size()), value.data);
        } else {
            fail("unknown value type");
        }
        key.setValue(std::move(value), true);
    }

    // Comma-separated hex bytes, continued on the next line after a "\".
    void hexData(std::string_view s, std::vector<std::uint8_t>& out) {
        for (;;) {
            std::size_t i = 0;
            auto skipSpace = [&] {
                while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
                    ++i;
            };
            skipSpace();
            while (i < s.size() && HexDigitValue(s[i]) >= 0) {
                unsigned v = 0;
                int digits = 0;
                while (i < s.size() && HexDigitValue(s[i]) >= 0) {
                    v = v * 16 + static_cast<unsigned>(HexDigitValue(s[i]));
                    ++i;
                    if (++digits > 2)
                        fail("hex byte out of range");
                }
                out.push_back(static_cast<std::uint8_t>(v));
                skipSpace();
                if (i < s.size() && s[i] == ',')
                    ++i;
                skipSpace();
            }
            skipSpace();
            if (i == s.size())
                return;
            if (s[i] != '\\')
                fail("bad hex data");
            if (!nextLine())
                fail("hex data continues past the end of the file");
            s = line_;
        }
    }

    std::string_view text_;
    std::string file_;
    std::size_t pos_ = 0;
    std::size_t lineStart_ = 0;
    std::size_t lineNo_ = 0;
    std::string_view line_;
};

// Escapes as Wine's dump_strW does; returns the number of characters written.
std::size_t dumpString(std::u16string_view s, std::string& out, char esc1, char esc2) {
    static const char escapes[33] = ".......abtnvfr.............e....";
    const std::size_t before = out.size();
    char buf[16];
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        const bool hasNext = i + 1 < s.size();
        if (c > 127) {
            const char* fmt = (hasNext && isHexDigit(s[i + 1])) ? "\\x%04x" : "\\x%x";
            out.append(buf, static_cast<std::size_t>(std::snprintf(buf, sizeof buf, fmt, c)));
            continue;
        }
        if (c < 32) {
            if (c == 0 && !hasNext)
                continue; // the terminating NUL is not written
            if (escapes[c] != '.') {
                out.push_back('\\');
                out.push_back(escapes[c]);
            } else {
                const char* fmt =
                    (hasNext && s[i + 1] >= u'0' && s[i + 1] <= u'7') ? "\\%03o" : "\\%o";
                out.append(buf, static_cast<std::size_t>(std::snprintf(buf, sizeof buf, fmt, c)));
            }
            continue;
        }
        if (c == u'\\' || c == static_cast<unsigned char>(esc1) ||
            c == static_cast<unsigned char>(esc2))
            out.push_back('\\');
        out.push_back(static_cast<char>(c));
    }
    return out.size() - before;
}

std::u16string_view dataAsUtf16(const std::vector<std::uint8_t>& data, std::u16string& tmp) {
    tmp = utf16FromLeBytes(data);
    return tmp;
}

void dumpValue(const RegNode::Value& v, std::string& out) {
    std::size_t count;
    char buf[32];
    if (!v.name.empty()) {
        out.push_back('"');
        count = 1 + dumpString(v.name, out, '"', '"');
        out += "\"=";
        count += 2;
    } else {
        out += "@=";
        count = 2;
    }
    switch (v.type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
        // Only properly terminated strings are written as strings.
        if (v.data.size() >= 2 && v.data.size() % 2 == 0 && v.data[v.data.size() - 1] == 0 &&
            v.data[v.data.size() - 2] == 0) {
            if (v.type != REG_SZ)
                out.append(buf, static_cast<std::size_t>(
                                    std::snprintf(buf, sizeof buf, "str(%x):", v.type)));
            out.push_back('"');
            std::u16string tmp;
            dumpString(dataAsUtf16(v.data, tmp), out, '"', '"');
            out += "\"\n";
            return;
        }
        break;
    case REG_DWORD:
        if (v.data.size() == 4) {
            const std::uint32_t dw = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                                     (static_cast<std::uint32_t>(v.data[3]) << 24);
            out.append(
                buf, static_cast<std::size_t>(std::snprintf(buf, sizeof buf, "dword:%08x\n", dw)));
            return;
        }
        break;
    default:
        break;
    }
    int n = v.type == REG_BINARY ? std::snprintf(buf, sizeof buf, "hex:")
                                 : std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
    out.append(buf, static_cast<std::size_t>(n));
    count += static_cast<std::size_t>(n);
    static const char digits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < v.data.size(); ++i) {
        out.push_back(digits[v.data[i] >> 4]);
        out.push_back(digits[v.data[i] & 15]);
        count += 2;
        if (i + 1 < v.data.size()) {
            out.push_back(',');
            if (++count > 76) {
                out += "\\\n  ";
                count = 2;
            }
        }
    }
    out.push_back('\n');
}

void dumpPath(const RegNode& key, const RegNode& base, std::string& out) {
    if (key.parent && key.parent != &base) {
        dumpPath(*key.parent, base, out);
        out += "\\\\";
    }
    dumpString(key.name, out, '[', ']');
}

void saveSubkeys(const RegNode& key, const RegNode& base, std::string& out) {
    // Keys with values, without subkeys, or with a class or link are written;
    // the others are implied by their subkeys.
    if (!key.values.empty() || key.subkeys.empty() || key.className || key.isLink) {
        char buf[64];
        out += "\n[";
        if (&key != &base)
            dumpPath(key, base, out);
        const auto seconds =
            static_cast<unsigned>((key.modif - kTicks1601To1970) / kTicksPerSecond);
        out.append(buf,
                   static_cast<std::size_t>(std::snprintf(buf, sizeof buf, "] %u\n", seconds)));
        out.append(buf,
                   static_cast<std::size_t>(std::snprintf(
                       buf, sizeof buf, "#time=%x%08x\n", static_cast<unsigned>(key.modif >> 32),
                       static_cast<unsigned>(key.modif & 0xFFFFFFFFu))));
        if (key.className) {
            out += "#class=\"";
            dumpString(*key.className, out, '"', '"');
            out += "\"\n";
        }
        if (key.isLink)
            out += "#link\n";
        for (const auto& v : key.values)
            dumpValue(v, out);
    }
    for (const auto& sub : key.subkeys)
        saveSubkeys(*sub, base, out);
}

} // namespace

RegHive parseWineRegistry(std::string_view text, const std::string& fileName) {
    return Parser(text, fileName).run();
}

std::string formatWineRegistry(const RegHive& hive) {
    std::string out = hive.preamble;
    out.reserve(out.size() + (1u << 20));
    // The root itself is written only when it holds something of its own.
    const RegNode& root = *hive.root;
    if (!root.values.empty() || root.className || root.isLink)
        saveSubkeys(root, root, out);
    else
        for (const auto& sub : root.subkeys)
            saveSubkeys(*sub, root, out);
    return out;
}

std::string defaultPreamble(std::string_view relativeTo) {
    return "WINE REGISTRY Version 2\n;; All keys relative to " + std::string(relativeTo) +
           "\n\n#arch=win64\n";
}

} // namespace trelmig
