#include "app/Environment.h"

#include "outlook/OutlookEnvironment.h"
#include "outlook/ProfilesKey.h"
#include "platform/WindowsRegistry.h"

#include <filesystem>
#include <stdexcept>

namespace trelmig {

namespace {

const WinePrefix& checkedPrefix(const WinePrefix& prefix) {
    std::error_code ec;
    if (!std::filesystem::is_directory(prefix.root(), ec))
        throw std::runtime_error("There is no Wine prefix at " + prefix.root().string() +
                                 " (name one with --prefix DIR or WINEPREFIX).");
    if (!std::filesystem::exists(prefix.systemReg(), ec) &&
        !std::filesystem::exists(prefix.userReg(), ec))
        throw std::runtime_error(prefix.root().string() +
                                 " is not a Wine prefix: it has no user.reg or system.reg.");
    return prefix;
}

std::unique_ptr<RegistryBackend> hivesOf(const WindowsSource& windows) {
    return std::make_unique<WindowsRegistry>(WindowsRegistry::Files{
        windows.userHive, windows.softwareHive, windows.systemHive, windows.userName()});
}

} // namespace

Environment::Environment(const WinePrefix& p, Prompter& prompter)
    : prefix(checkedPrefix(p)), registry(prefix), ansi(SystemInfo(registry, prefix).ansiCodePage()),
      system(registry, prefix), files(prefix), reg(registry, prompter, ansi) {
    session_.programFolder = work.path().string();
}

Environment::Environment(const WindowsSource& windows, Prompter& prompter)
    : prefix(windows.userFolder), windowsHives(hivesOf(windows)),
      sourceWarnings(WindowsSourceWarnings(windows)),
      ansi(SystemInfo(*windowsHives, prefix).ansiCodePage()), system(*windowsHives, prefix),
      files(WinFiles::WindowsDisk{windows.systemDrive, windows.userFolder, windows.userName()}),
      reg(*windowsHives, prompter, ansi) {
    windowsPartition = windows.systemDrive;
    session_.programFolder = work.path().string();
}

std::string Environment::Discover() {
    // Filled in place: on a failure the facts read so far stay.
    Session& s = session_;
    s.infoFile = (work.path() / "vastrel.dat").string();
    s.computerName = system.computerName();
    s.logonUser = system.logonUser();
    GetWindowsVersion(s, system);
    // Outlook 2013 and later keep their profiles under their own version's
    // key, so the version comes first.
    std::string outlook = GetOutlookVersion(s, reg, files, system);
    if (s.outlookVersion.empty()) {
        // Nothing registered that we know: the profiles tell which Outlook made them.
        // A Windows disk whose machine hives are not there: up to Outlook
        // 2010 the user's own settings name the version.
        std::optional<std::string> version = VersionHoldingProfiles(reg);
        if (!version && readOnlySource() && !reg.EnumRegSubkeys(ProfilesKeyFor("")).empty())
            version = VersionWithUserSettings(reg);
        if (version) {
            s.outlookVersion = *version;
            outlook = MatchOutlookVersion(*version)->displayName;
        }
    }
    s.profilesKey = ProfilesKeyFor(s.outlookVersion);
    LoadProfileList(s, reg);
    // Known with no profile too: a restore may make one.
    s.userProfile = system.userProfile();
    if (s.profiles.empty())
        return {};
    return outlook;
}

void Environment::ReloadProfiles() {
    LoadProfileList(session_, reg);
}

ProfileItems Environment::ItemsOf(const std::string& profile) {
    return ComputeItemLocations(session_, reg, files, profile);
}

} // namespace trelmig
