#include "RegFileModel.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace roundtrip {

std::string lower(std::string text) {
    // ASCII only: the comparisons lower names the way Wine matches them for
    // the letters our fixtures use; "Büro" and "büro" are different keys here.
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::u16string utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = c;
        int more = 0;
        if (c >= 0xF0) {
            cp = c & 0x07;
            more = 3;
        } else if (c >= 0xE0) {
            cp = c & 0x0F;
            more = 2;
        } else if (c >= 0xC0) {
            cp = c & 0x1F;
            more = 1;
        }
        ++i;
        for (int k = 0; k < more && i < utf8.size(); ++k, ++i)
            cp = cp << 6 | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string utf16ToUtf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size()) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | cp >> 18);
            out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::vector<unsigned char> utf16Bytes(const std::string& utf8, bool withNul) {
    std::vector<unsigned char> bytes;
    std::u16string text = utf8ToUtf16(utf8);
    if (withNul)
        text += u'\0';
    for (char16_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    return bytes;
}

std::string stringOf(const RegData& data) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < data.bytes.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(data.bytes[i] | data.bytes[i + 1] << 8);
        if (c == 0)
            break;
        text += c;
    }
    return utf16ToUtf8(text);
}

namespace {

std::vector<std::string> components(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

// Wine's escapes: backslash and the delimiters with a backslash, code units
// above 0x7F as \x (four digits when a hex digit follows), controls by name
// or in octal.
std::string escape(const std::u16string& text, const char* delimiters) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        char buf[16];
        if (c > 127) {
            const bool hexNext = i + 1 < text.size() && text[i + 1] < 128 &&
                                 std::isxdigit(static_cast<unsigned char>(text[i + 1]));
            std::snprintf(buf, sizeof buf, hexNext ? "\\x%04x" : "\\x%x", unsigned{c});
            out += buf;
        } else if (c < 32) {
            static const char names[] = "abtnvfr";
            if (c >= 7 && c <= 13) {
                out += '\\';
                out += names[c - 7];
            } else if (c == 27) {
                out += "\\e";
            } else {
                // Three digits only when an octal digit follows.
                const bool octalNext =
                    i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7';
                std::snprintf(buf, sizeof buf, octalNext ? "\\%03o" : "\\%o", unsigned{c});
                out += buf;
            }
        } else if (c == '\\' || std::strchr(delimiters, static_cast<char>(c))) {
            out += '\\';
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::u16string unescape(const std::string& text, std::size_t& pos, char end) {
    std::u16string out;
    while (pos < text.size() && text[pos] != end) {
        char c = text[pos++];
        if (c != '\\') {
            out += static_cast<char16_t>(static_cast<unsigned char>(c));
            continue;
        }
        if (pos >= text.size())
            throw std::runtime_error("escape at the end of: " + text);
        c = text[pos++];
        switch (c) {
        case 'a':
            out += u'\a';
            break;
        case 'b':
            out += u'\b';
            break;
        case 't':
            out += u'\t';
            break;
        case 'n':
            out += u'\n';
            break;
        case 'v':
            out += u'\v';
            break;
        case 'f':
            out += u'\f';
            break;
        case 'r':
            out += u'\r';
            break;
        case 'e':
            out += u'\x1b';
            break;
        case 'x': {
            unsigned v = 0;
            int n = 0;
            while (n < 4 && pos < text.size() &&
                   std::isxdigit(static_cast<unsigned char>(text[pos]))) {
                v = v * 16 +
                    static_cast<unsigned>(std::stoi(std::string(1, text[pos]), nullptr, 16));
                ++pos;
                ++n;
            }
            out += static_cast<char16_t>(v);
            break;
        }
        default:
            if (c >= '0' && c <= '7') {
                unsigned v = static_cast<unsigned>(c - '0');
                for (int n = 1; n < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7';
                     ++n)
                    v = v * 8 + static_cast<unsigned>(text[pos++] - '0');
                out += static_cast<char16_t>(v);
            } else {
                out += static_cast<char16_t>(static_cast<unsigned char>(c));
            }
        }
    }
    if (pos >= text.size())
        throw std::runtime_error("unterminated text in: " + text);
    ++pos; // the closing delimiter
    return out;
}

std::vector<unsigned char> parseHex(const std::string& text) {
    std::vector<unsigned char> bytes;
    std::string piece;
    std::istringstream in(text);
    while (std::getline(in, piece, ',')) {
        piece.erase(std::remove_if(piece.begin(), piece.end(),
                                   [](unsigned char c) { return std::isspace(c); }),
                    piece.end());
        if (piece.empty())
            continue;
        bytes.push_back(static_cast<unsigned char>(std::stoul(piece, nullptr, 16)));
    }
    return bytes;
}

} // namespace

RegKey& RegFileModel::key(const std::string& path) {
    auto [it, added] = keys_.try_emplace(lower(path));
    if (added)
        it->second.path = path;
    return it->second;
}

const RegKey* RegFileModel::find(const std::string& path) const {
    const auto it = keys_.find(lower(path));
    return it == keys_.end() ? nullptr : &it->second;
}

std::vector<const RegKey*> RegFileModel::subtree(const std::string& path) const {
    std::vector<const RegKey*> keys;
    const std::string base = lower(path);
    for (const auto& [name, key] : keys_)
        if (name == base || name.starts_with(base + "\\"))
            keys.push_back(&key);
    return keys;
}

std::vector<const RegKey*> RegFileModel::allKeys() const {
    std::vector<const RegKey*> keys;
    for (const auto& [name, key] : keys_)
        keys.push_back(&key);
    return keys;
}

std::vector<std::string> RegFileModel::subkeyNames(const std::string& path) const {
    std::vector<std::string> names;
    const std::string base = lower(path) + "\\";
    for (const auto& [name, key] : keys_) {
        if (!name.starts_with(base))
            continue;
        const std::string rest = key.path.substr(base.size());
        const std::string first = rest.substr(0, rest.find('\\'));
        if (std::find(names.begin(), names.end(), first) == names.end())
            names.push_back(first);
    }
    return names;
}

void RegFileModel::setString(const std::string& k, const std::string& name, const std::string& utf8,
                             std::uint32_t type) {
    key(k).values[lower(name)] = {name, RegData{type, utf16Bytes(utf8)}};
}

void RegFileModel::setDword(const std::string& k, const std::string& name, std::uint32_t v) {
    key(k).values[lower(name)] = {
        name, RegData{kRegDword,
                      {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                       static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)}}};
}

void RegFileModel::setBinary(const std::string& k, const std::string& name,
                             std::vector<unsigned char> bytes) {
    key(k).values[lower(name)] = {name, RegData{kRegBinary, std::move(bytes)}};
}

std::optional<RegData> RegFileModel::value(const std::string& k, const std::string& name) const {
    const RegKey* found = find(k);
    if (!found)
        return std::nullopt;
    const auto it = found->values.find(lower(name));
    if (it == found->values.end())
        return std::nullopt;
    return it->second.second;
}

void RegFileModel::write(const std::filesystem::path& file) const {
    std::set<std::string> parents;
    for (const auto& [name, key] : keys_)
        for (auto cut = name.rfind('\\'); cut != std::string::npos;
             cut = name.rfind('\\', cut - 1)) {
            parents.insert(name.substr(0, cut));
            if (cut == 0)
                break;
        }
    // Wine writes a key when it has values or no subkeys; parents are implied.
    // Depth first, siblings by lower-cased name: component by component.
    std::vector<std::pair<std::vector<std::string>, const RegKey*>> ordered;
    for (const auto& [name, key] : keys_)
        if (!key.values.empty() || !parents.count(name))
            ordered.emplace_back(components(name), &key);
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::ostringstream out;
    out << "WINE REGISTRY Version 2\n;; All keys relative to " << relativeTo_
        << "\n\n#arch=" << (win64_ ? "win64" : "win32") << "\n";
    std::uint32_t mtime = 1796739415;
    for (const auto& [sortKey, key] : ordered) {
        std::string path;
        for (const auto& part : components(key->path))
            path += (path.empty() ? "" : "\\\\") + escape(utf8ToUtf16(part), "[]");
        out << "\n[" << path << "] " << mtime << "\n#time=1dd871ec" << std::hex << (mtime & 0xffff)
            << "0000" << std::dec << "\n";
        ++mtime;
        std::vector<std::pair<std::string, const RegData*>> values;
        for (const auto& [lowered, named] : key->values)
            values.emplace_back(named.first, &named.second);
        // The default value first, then by lower-cased name.
        std::sort(values.begin(), values.end(),
                  [](const auto& a, const auto& b) { return lower(a.first) < lower(b.first); });
        for (const auto& [name, data] : values) {
            std::string line = name.empty() ? "@=" : "\"" + escape(utf8ToUtf16(name), "\"") + "\"=";
            const bool text =
                (data->type == kRegSz || data->type == kRegExpandSz || data->type == kRegMultiSz) &&
                data->bytes.size() >= 2 && data->bytes.size() % 2 == 0 &&
                data->bytes[data->bytes.size() - 1] == 0 &&
                data->bytes[data->bytes.size() - 2] == 0;
            if (text) {
                std::u16string s;
                for (std::size_t i = 0; i + 2 < data->bytes.size(); i += 2)
                    s += static_cast<char16_t>(data->bytes[i] | data->bytes[i + 1] << 8);
                if (data->type != kRegSz)
                    line += "str(" + std::to_string(data->type) + "):";
                out << line << "\"" << escape(s, "\"") << "\"\n";
                continue;
            }
            if (data->type == kRegDword && data->bytes.size() == 4) {
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x",
                              data->bytes[0] | data->bytes[1] << 8 | data->bytes[2] << 16 |
                                  static_cast<unsigned>(data->bytes[3]) << 24);
                out << line << buf << "\n";
                continue;
            }
            char buf[16];
            if (data->type == kRegBinary) {
                line += "hex:";
            } else {
                std::snprintf(buf, sizeof buf, "hex(%x):", data->type);
                line += buf;
            }
            std::size_t count = line.size();
            for (std::size_t i = 0; i < data->bytes.size(); ++i) {
                std::snprintf(buf, sizeof buf, "%02x", data->bytes[i]);
                line += buf;
                count += 2;
                if (i + 1 < data->bytes.size()) {
                    line += ',';
                    if (++count > 76) {
                        line += "\\\n  ";
                        count = 2;
                    }
                }
            }
            out << line << "\n";
        }
    }
    std::ofstream f(file, std::ios::binary | std::ios::trunc);
    f << out.str();
    if (!f)
        throw std::runtime_error("cannot write " + file.string());
}

RegFileModel RegFileModel::read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    std::string line;
    if (!std::getline(in, line) || line != "WINE REGISTRY Version 2")
        throw std::runtime_error(file.string() + " is not a Wine registry file");
    RegFileModel model;
    RegKey* current = nullptr;
    while (std::getline(in, line)) {
        // Hex data wraps with a trailing backslash.
        while (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
            std::string next;
            if (!std::getline(in, next))
                break;
            line.pop_back();
            line += next;
        }
        if (line.starts_with(";; All keys relative to ")) {
            model.relativeTo_ = line.substr(24);
        } else if (line.starts_with("#arch=")) {
            model.win64_ = line == "#arch=win64";
        } else if (line.starts_with("[")) {
            std::size_t pos = 1;
            const std::string path = utf16ToUtf8(unescape(line, pos, ']'));
            // "\\" in the file separates components; unescaping made it one backslash.
            current = &model.key(path);
        } else if (line.empty() || line.starts_with("#") || line.starts_with(";")) {
            continue;
        } else if (current) {
            std::size_t pos = 0;
            std::string name;
            if (line.starts_with("@=")) {
                pos = 2;
            } else if (line.starts_with("\"")) {
                pos = 1;
                name = utf16ToUtf8(unescape(line, pos, '"'));
                if (pos >= line.size() || line[pos] != '=')
                    throw std::runtime_error("no = after the value name: " + line);
                ++pos;
            } else {
                throw std::runtime_error("not a value line: " + line);
            }
            const std::string rest = line.substr(pos);
            RegData data;
            auto stringData = [&](std::size_t at) {
                std::size_t p = at + 1;
                std::u16string s = unescape(rest, p, '"');
                s += u'\0';
                for (char16_t c : s) {
                    data.bytes.push_back(static_cast<unsigned char>(c & 0xFF));
                    data.bytes.push_back(static_cast<unsigned char>(c >> 8));
                }
            };
            if (rest.starts_with("\"")) {
                data.type = kRegSz;
                stringData(0);
            } else if (rest.starts_with("str(")) {
                const auto close = rest.find("):");
                data.type =
                    static_cast<std::uint32_t>(std::stoul(rest.substr(4, close - 4), nullptr, 16));
                stringData(close + 2);
            } else if (rest.starts_with("dword:")) {
                const auto v = static_cast<std::uint32_t>(std::stoul(rest.substr(6), nullptr, 16));
                data.type = kRegDword;
                data.bytes = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16),
                              static_cast<unsigned char>(v >> 24)};
            } else if (rest.starts_with("hex:")) {
                data.type = kRegBinary;
                data.bytes = parseHex(rest.substr(4));
            } else if (rest.starts_with("hex(")) {
                const auto close = rest.find("):");
                data.type =
                    static_cast<std::uint32_t>(std::stoul(rest.substr(4, close - 4), nullptr, 16));
                data.bytes = parseHex(rest.substr(close + 2));
            } else {
                throw std::runtime_error("unknown value form: " + line);
            }
            current->values[lower(name)] = {name, std::move(data)};
        }
    }
    return model;
}

} // namespace roundtrip
