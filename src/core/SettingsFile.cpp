#include "core/SettingsFile.h"

#include "platform/Text.h"
#include "platform/TextFile.h"
#include "platform/Utf.h"

#include <algorithm>

namespace trelmig {

namespace {

// A value beyond ASCII also goes on a line of its own in UTF-8, percent-encoded
// so that the line is plain ASCII in every code page: readers that know it
// take it whatever their code page, others read the ANSI line beside it.
constexpr std::string_view kUtf8KeySuffix = "Utf8";

bool keptByEscape(unsigned char c) {
    return c < 0x20 || c >= 0x7F || c == '%' || c == '\\' || c == '~';
}

std::string percentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (keptByEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace

SettingsText::SettingsText(std::string_view bytes, const AnsiCodec& ansi) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        if (end == start)
            break; // an empty line ends the settings
        const std::string line = ansi.toUtf8(std::string(bytes.substr(start, end - start)));
        const auto eq = line.find('=');
        if (eq != std::string::npos)
            lines_.emplace_back(line.substr(0, eq), line.substr(eq + 1));
        start = end + 1;
        if (end < bytes.size() && bytes[end] == '\r' && start < bytes.size() &&
            bytes[start] == '\n')
            ++start;
    }
}

SettingsText SettingsText::Read(const std::string& fileName, const AnsiCodec& ansi,
                                std::uintmax_t maxBytes) {
    return SettingsText(readFileBytes(fileName, maxBytes), ansi);
}

std::string SettingsText::Value(const std::string& keyName) const {
    const std::string utf8Key = keyName + std::string(kUtf8KeySuffix);
    for (const auto& [key, value] : lines_)
        if (equalsNoCase(key, utf8Key))
            if (std::string decoded = PercentDecoded(value); isValidUtf8(decoded))
                return decoded;
    for (const auto& [key, value] : lines_)
        if (equalsNoCase(key, keyName))
            return value;
    return {};
}

std::string GetINI(const std::string& keyName, const std::string& fileName, const AnsiCodec& ansi) {
    return SettingsText::Read(fileName, ansi).Value(keyName);
}

void SaveINI(const std::string& keyName, const std::string& keyValue, const std::string& fileName,
             const AnsiCodec& ansi) {
    appendLine(fileName, ansi.fromUtf8(keyName + "=" + keyValue));
    // Also a value the code page holds: the prefix restored into may have another one.
    if (!isAscii(keyValue))
        SaveUnicodeINI(keyName, keyValue, fileName);
}

void SaveUnicodeINI(const std::string& keyName, const std::string& keyValue,
                    const std::string& fileName) {
    appendLine(fileName, keyName + std::string(kUtf8KeySuffix) + "=" + percentEncoded(keyValue));
}

} // namespace trelmig
