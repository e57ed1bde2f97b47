#include "archive/ZipEntryNames.h"

#include "platform/Utf.h"

#include <unordered_map>

namespace trelmig {

namespace {

std::string trimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool isValidUtf8(const std::string& text) {
    return utf16ToUtf8(utf8ToUtf16(text)) == text;
}

} // namespace

std::optional<std::string> entryNameProblem(std::string_view raw) {
    std::string shown;
    bool control = false;
    for (unsigned char c : raw) {
        if (c < 0x20 || c == 0x7f) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            shown += std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
            control = true;
        } else {
            shown += static_cast<char>(c);
        }
    }
    if (!control)
        return std::nullopt;
    return "the entry name \"" + shown + "\" holds a control character";
}

std::vector<std::string> splitEntryList(const std::string& list) {
    std::vector<std::string> names;
    if (trimBlanks(list).empty())
        return names;
    std::size_t start = 0;
    for (;;) {
        const auto semi = list.find(';', start);
        names.push_back(trimBlanks(list.substr(start, semi - start)));
        if (semi == std::string::npos)
            return names;
        start = semi + 1;
    }
}

std::optional<std::string> caseTwinProblem(const std::vector<std::string>& names) {
    std::unordered_map<std::u16string, const std::string*> seen;
    for (const std::string& name : names) {
        const auto [it, added] = seen.emplace(foldCase(utf8ToUtf16(name)), &name);
        if (!added && *it->second != name)
            return "\"" + *it->second + "\" and \"" + name +
                   "\" differ only in case and would be one file on Windows";
    }
    return std::nullopt;
}

ZipEntryName decodeEntryName(const std::string& stored, bool utf8, const AnsiCodec& ansi) {
    if (isAscii(stored) || utf8)
        return {stored, {}};
    ZipEntryName name{ansi.toUtf8(stored), {}};
    if (isValidUtf8(stored) && stored != name.text)
        name.alternative = stored;
    return name;
}

std::string bareEntryName(const std::string& hostPath) {
    auto slash = hostPath.find_last_of('/');
    std::string name = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
    return utf16ToUtf8(utf8ToUtf16(name));
}

} // namespace trelmig
