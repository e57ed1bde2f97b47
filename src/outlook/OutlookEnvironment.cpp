#include "outlook/OutlookEnvironment.h"

#include "core/Session.h"
#include "platform/PeVersion.h"
#include "platform/SystemInfo.h"
#include "platform/Utf.h"
#include "platform/WinFiles.h"
#include "registry/RegistryKeys.h"

#include <algorithm>
#include <cctype>

namespace trelmig {

std::optional<OutlookRelease> MatchOutlookVersion(const std::string& reported) {
    static const OutlookRelease releases[] = {
        {"8.0", "Outlook 97"},
        {"9.0", "Outlook 2000"},
        {"10.0", "Outlook 2002(XP)"},
        {"11.0", "Outlook 2003"},
        {"12.0", "Outlook 2007"},
        {"14.0", "Outlook 2010"},
        {"15.0", "Outlook 2013"},
        // 2016, 2019, 2021 and the subscription release all report 16.0.
        {"16.0", "Outlook 2016"},
    };
    // The major number decides: "11.0.8169.0" holds "9.0" in its build part
    // but is Outlook 2003.
    std::size_t i = 0;
    while (i < reported.size() && reported[i] == ' ')
        ++i;
    std::size_t end = i;
    while (end < reported.size() && std::isdigit(static_cast<unsigned char>(reported[end])))
        ++end;
    if (end == i)
        return std::nullopt;
    const std::string major = reported.substr(i, end - i) + ".0";
    for (const auto& r : releases)
        if (r.version == major)
            return r;
    return std::nullopt;
}

std::string GetWindowsVersion(Session& session, const SystemInfo& system) {
    const WindowsVersion v = system.windowsVersion();
    session.windowsVersion = std::to_string(v.major) + "." + std::to_string(v.minor);
    session.windowsBuild = std::to_string(v.build & 0xFFFF);
    return session.windowsVersion;
}

bool IsBlankName(const std::string& name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return c == '\0' || c == ' '; });
}

void LoadProfileList(Session& session, RegistryKeys& reg) {
    session.profiles.clear();
    for (const auto& name : reg.EnumRegSubkeys(session.profilesKey))
        if (!IsBlankName(name))
            session.profiles.push_back(name);
}

namespace {

std::optional<std::string> readDefault(RegistryKeys& reg, const std::string& keyPath) {
    if (!reg.RegKeyExists(keyPath))
        return std::nullopt;
    auto v = reg.ReadRegString(keyPath, "");
    if (v && v->empty())
        return std::nullopt;
    return v;
}

// The executable of a command line such as
// "C:\Program Files\Microsoft Office\Office14\OUTLOOK.EXE" /automation.
std::string executableOf(const std::string& command) {
    if (!command.empty() && command[0] == '"') {
        const auto close = command.find('"', 1);
        return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    std::string lower = command;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto exe = lower.find(".exe");
    if (exe != std::string::npos)
        return command.substr(0, exe + 4);
    return command.substr(0, command.find(' '));
}

// The classes of the 64-bit (or only) view, then those a 32-bit program of a
// 64-bit machine registers. Wine keeps the second under Wow6432Node, ProgIDs
// included.
constexpr const char* kClassViews[] = {"HKEY_CLASSES_ROOT\\", "HKEY_CLASSES_ROOT\\Wow6432Node\\"};

struct OutlookRegistration {
    std::optional<std::string> curVer;
    std::optional<std::string> clsid;
};

OutlookRegistration findRegistration(RegistryKeys& reg) {
    OutlookRegistration found;
    for (const char* view : kClassViews) {
        const std::string progId = std::string(view) + "Outlook.Application";
        const auto curVer = readDefault(reg, progId + "\\CurVer");
        auto clsid =
            curVer ? readDefault(reg, std::string(view) + *curVer + "\\CLSID") : std::nullopt;
        if (!clsid)
            clsid = readDefault(reg, progId + "\\CLSID");
        if (!found.curVer)
            found.curVer = curVer;
        if (!found.clsid)
            found.clsid = clsid;
    }
    return found;
}

std::optional<std::string> localServer(RegistryKeys& reg, const char* view,
                                       const std::string& clsid) {
    return readDefault(reg, std::string(view) + "CLSID\\" + clsid + "\\LocalServer32");
}

} // namespace

std::optional<std::string> ReportedOutlookVersion(RegistryKeys& reg, const WinFiles& files,
                                                  const SystemInfo& system) {
    const OutlookRegistration registered = findRegistration(reg);
    if (registered.clsid) {
        // A 32-bit Outlook in a 64-bit prefix registers its class under Wow6432Node.
        for (const char* view : kClassViews) {
            const auto server = localServer(reg, view, *registered.clsid);
            if (!server)
                continue;
            const std::string exe = system.expandEnvironmentStrings(executableOf(*server));
            if (auto host = files.hostPath(exe))
                if (auto version = readPeFileVersion(*host))
                    return version;
        }
    }
    if (const auto& curVer = registered.curVer) {
        // "Outlook.Application.14"
        const auto dot = curVer->rfind('.');
        const std::string number = dot == std::string::npos ? "" : curVer->substr(dot + 1);
        if (!number.empty() && std::all_of(number.begin(), number.end(),
                                           [](unsigned char c) { return std::isdigit(c); }))
            return number + ".0";
    }
    return std::nullopt;
}

bool IsOutlookWow64(RegistryKeys& reg) {
    const OutlookRegistration registered = findRegistration(reg);
    if (!registered.clsid)
        return false;
    return !localServer(reg, kClassViews[0], *registered.clsid) &&
           localServer(reg, kClassViews[1], *registered.clsid);
}

std::string SharedToolsKey(RegistryKeys& reg) {
    // Both views hold a SharedFilesDir on a 64-bit machine, each naming its
    // own Program Files; Office's is the one of its own view.
    return IsOutlookWow64(reg)
               ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Shared Tools"
               : "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools";
}

std::string OutlookDisplayName(RegistryKeys& reg, const WinFiles& files, const SystemInfo& system) {
    const auto reported = ReportedOutlookVersion(reg, files, system);
    if (!reported)
        return kUnknownOutlook;
    const auto release = MatchOutlookVersion(*reported);
    return release ? release->displayName : "";
}

std::string GetOutlookVersion(Session& session, RegistryKeys& reg, const WinFiles& files,
                              const SystemInfo& system) {
    const auto reported = ReportedOutlookVersion(reg, files, system);
    if (!reported)
        return kUnknownOutlook;
    const auto release = MatchOutlookVersion(*reported);
    if (!release)
        return "";
    session.outlookVersion = release->version;
    return release->displayName;
}

} // namespace trelmig
