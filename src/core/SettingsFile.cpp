#include "core/SettingsFile.h"

#include "platform/TextFile.h"
#include "platform/Utf.h"

#include <algorithm>

namespace trelmig {

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
}

} // namespace trelmig
