#include "archive/ZipEntryNames.h"

#include "platform/Utf.h"

namespace trelmig {

namespace {

bool isValidUtf8(const std::string& text) {
    return utf16ToUtf8(utf8ToUtf16(text)) == text;
}

} // namespace

bool isAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

std::string entryNameProblem(std::string_view raw) {
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
        return {};
    return "the entry name \"" + shown + "\" holds a control character";
}

ZipEntryName decodeEntryName(const std::string& raw, const std::string& strict,
                             const AnsiCodec& ansi) {
    if (isAscii(raw) || raw == strict)
        return {raw, {}};
    ZipEntryName name{ansi.toUtf8(raw), {}};
    if (isValidUtf8(raw) && raw != name.text)
        name.alternative = raw;
    return name;
}

std::string bareEntryName(const std::string& hostPath) {
    auto slash = hostPath.find_last_of('/');
    std::string name = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
    return utf16ToUtf8(utf8ToUtf16(name));
}

} // namespace trelmig
