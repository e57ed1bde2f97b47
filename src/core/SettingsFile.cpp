#include "core/SettingsFile.h"

#include "platform/TextFile.h"
#include "platform/Utf.h"

namespace trelmig {

std::string GetINI(const std::string& keyName, const std::string& fileName, const AnsiCodec& ansi) {
    for (const std::string& raw : readLines(fileName)) {
        if (raw.empty())
            break; // an empty line ends the settings
        const std::string line = ansi.toUtf8(raw);
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        if (equalsNoCase(line.substr(0, eq), keyName))
            return line.substr(eq + 1);
    }
    return {};
}

void SaveINI(const std::string& keyName, const std::string& keyValue, const std::string& fileName,
             const AnsiCodec& ansi) {
    appendLine(fileName, ansi.fromUtf8(keyName + "=" + keyValue));
}

} // namespace trelmig
