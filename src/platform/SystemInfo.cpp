#include "platform/SystemInfo.h"

#include "platform/AnsiCodec.h"
#include "platform/Utf.h"

#include <cctype>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace trelmig {

namespace {

const char* const kComputerNameKey =
    "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
const char* const kVolatileEnvironment = "Volatile Environment";
const char* const kCurrentVersionKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kCodePageKey = "System\\CurrentControlSet\\Control\\Nls\\CodePage";

// Windows limits NetBIOS computer names to 15 characters.
const std::size_t kMaxComputerName = 15;

std::optional<unsigned> parseNumber(std::string_view text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return static_cast<unsigned>(std::stoul(std::string(text)));
}

std::string hostComputerName() {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return "LOCALHOST";
    std::string name(buffer);
    name = name.substr(0, name.find('.'));
    if (name.size() > kMaxComputerName)
        name.resize(kMaxComputerName);
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name.empty() ? "LOCALHOST" : name;
}

std::string unixUserName() {
    // The passwd entry is read by the thread that starts a run, never by workers.
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name && *pw->pw_name)
        return pw->pw_name;
    if (const char* user = std::getenv("USER"); user && *user)
        return user;
    return "user";
}

} // namespace

SystemInfo::SystemInfo(const RegistryBackend& registry, const WinePrefix& prefix)
    : registry_(registry), prefix_(prefix) {}

std::optional<std::string> SystemInfo::stringValue(RootKey root, const std::string& key,
                                                   const std::string& name) const {
    std::optional<RegValue> value = registry_.queryValue(root, key, name);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ))
        return std::nullopt;
    std::string text(value->data.begin(), value->data.end());
    // The stored text ends at its first NUL, as Windows reads it.
    text = text.substr(0, text.find('\0'));
    if (text.empty())
        return std::nullopt;
    return text;
}

std::optional<unsigned> SystemInfo::dwordValue(RootKey root, const std::string& key,
                                               const std::string& name) const {
    std::optional<RegValue> value = registry_.queryValue(root, key, name);
    if (!value || value->type != REG_DWORD || value->data.size() != 4)
        return std::nullopt;
    return static_cast<unsigned>(value->data[0]) | static_cast<unsigned>(value->data[1]) << 8 |
           static_cast<unsigned>(value->data[2]) << 16 |
           static_cast<unsigned>(value->data[3]) << 24;
}

std::string SystemInfo::computerName() const {
    if (auto name = stringValue(RootKey::LocalMachine, kComputerNameKey, "ComputerName"))
        return *name;
    return hostComputerName();
}

std::string SystemInfo::logonUser() const {
    if (auto name = stringValue(RootKey::CurrentUser, kVolatileEnvironment, "USERNAME"))
        return *name;
    return unixUserName();
}

std::string SystemInfo::windowsDir() const {
    if (auto dir = stringValue(RootKey::LocalMachine, kCurrentVersionKey, "SystemRoot"))
        return *dir;
    return "C:\\windows";
}

std::string SystemInfo::userProfile() const {
    if (auto profile = stringValue(RootKey::CurrentUser, kVolatileEnvironment, "USERPROFILE"))
        return *profile;
    return "C:\\users\\" + logonUser();
}

WindowsVersion SystemInfo::windowsVersion() const {
    const RootKey hklm = RootKey::LocalMachine;
    std::optional<unsigned> major =
        dwordValue(hklm, kCurrentVersionKey, "CurrentMajorVersionNumber");
    std::optional<unsigned> minor =
        dwordValue(hklm, kCurrentVersionKey, "CurrentMinorVersionNumber");
    if (!major || !minor) {
        major.reset();
        minor.reset();
        if (auto text = stringValue(hklm, kCurrentVersionKey, "CurrentVersion")) {
            std::size_t dot = text->find('.');
            if (dot != std::string::npos) {
                major = parseNumber(std::string_view(*text).substr(0, dot));
                minor = parseNumber(std::string_view(*text).substr(dot + 1));
            }
        }
    }
    std::optional<unsigned> build;
    for (const char* name : {"CurrentBuildNumber", "CurrentBuild"}) {
        if (auto text = stringValue(hklm, kCurrentVersionKey, name); text && !build)
            build = parseNumber(*text);
    }
    if (!major || !minor)
        return WindowsVersion{10, 0, build.value_or(19045)};
    return WindowsVersion{*major, *minor, build.value_or(0)};
}

unsigned SystemInfo::ansiCodePage() const {
    if (auto acp = stringValue(RootKey::LocalMachine, kCodePageKey, "ACP"))
        return AnsiCodec::codePageFromAcp(*acp);
    return 1252;
}

std::optional<std::string> SystemInfo::variable(const std::string& name) const {
    if (equalsNoCase(name, "USERPROFILE"))
        return userProfile();
    if (equalsNoCase(name, "USERNAME"))
        return logonUser();
    if (equalsNoCase(name, "SystemRoot") || equalsNoCase(name, "windir"))
        return windowsDir();
    if (equalsNoCase(name, "ComputerName"))
        return computerName();
    if (auto value = stringValue(RootKey::CurrentUser, kVolatileEnvironment, name))
        return value;
    if (equalsNoCase(name, "SystemDrive"))
        return windowsDir().substr(0, 2);
    if (equalsNoCase(name, "APPDATA"))
        return userProfile() + "\\AppData\\Roaming";
    if (equalsNoCase(name, "LOCALAPPDATA"))
        return userProfile() + "\\AppData\\Local";
    return std::nullopt;
}

std::string SystemInfo::expandEnvironmentStrings(std::string_view text) const {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '%') {
            out += text[i++];
            continue;
        }
        std::size_t close = text.find('%', i + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        std::string name(text.substr(i + 1, close - i - 1));
        std::optional<std::string> value = name.empty() ? std::nullopt : variable(name);
        if (value) {
            out += *value;
            i = close + 1;
        } else {
            // Unknown: keep "%NAME" and let the closing "%" open the next name.
            out.append(text.substr(i, close - i));
            i = close;
        }
    }
    return out;
}

} // namespace trelmig
