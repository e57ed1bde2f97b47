#pragma once

#include "platform/RegistryBackend.h"
#include "platform/WinePrefix.h"

#include <optional>
#include <string>
#include <string_view>

namespace trelmig {

struct WindowsVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;

    bool operator==(const WindowsVersion&) const = default;
};

// What the Windows machine of a prefix says about itself, read from its
// registry where Wine keeps it, with the fallbacks Windows would give.
class SystemInfo {
public:
    // The registry must outlive this object.
    SystemInfo(const RegistryBackend& registry, const WinePrefix& prefix);

    const WinePrefix& prefix() const { return prefix_; }

    // HKLM\...\ComputerName\ComputerName; else the host name up to its first
    // dot, in capitals.
    std::string computerName() const;
    // HKCU\Volatile Environment USERNAME; else the Unix user name.
    std::string logonUser() const;
    // "C:\windows" unless the registry names another SystemRoot.
    std::string windowsDir() const;
    // HKCU\Volatile Environment USERPROFILE; else "C:\users\<logonUser>".
    std::string userProfile() const;
    // Windows 10.0 build 19045 (Wine 8's default) when the registry says nothing.
    WindowsVersion windowsVersion() const;
    // HKLM\System\CurrentControlSet\Control\Nls\CodePage ACP; 1252 by default.
    unsigned ansiCodePage() const;

    // Expands %UserProfile%, %USERNAME%, %SystemRoot%, %windir%, %ComputerName%
    // and the other names of HKCU\Volatile Environment (any case); unknown
    // %NAME% and a lone "%" stay as they are.
    std::string expandEnvironmentStrings(std::string_view text) const;

private:
    std::optional<std::string> stringValue(RootKey root, const std::string& key,
                                           const std::string& name) const;
    std::optional<unsigned> dwordValue(RootKey root, const std::string& key,
                                       const std::string& name) const;
    std::optional<std::string> variable(const std::string& name) const;

    const RegistryBackend& registry_;
    WinePrefix prefix_;
};

} // namespace trelmig
