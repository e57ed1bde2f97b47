#include "platform/SystemInfo.h"
#include "platform/WineRegistry.h"

#include "FakeRegistry.h"

#include <cctype>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using trelmig::RootKey;
using trelmig::SystemInfo;
using trelmig::WindowsVersion;
using trelmig::WinePrefix;

namespace {

const char* const kCurrentVersion = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kVolatile = "Volatile Environment";

class SystemInfoTest : public ::testing::Test {
protected:
    FakeRegistry registry;
    WinePrefix prefix{"/nonexistent/prefix"};
    SystemInfo info{registry, prefix};
};

// Fills the registry as Wine 8 does for a Windows 7 prefix (key and value
// names in Wine's own spelling, which is not always the documented one).
void fillLikeWine(FakeRegistry& registry) {
    const auto hklm = RootKey::LocalMachine;
    const auto hkcu = RootKey::CurrentUser;
    registry.setString(hklm, "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                       "ComputerName", "VM");
    registry.setString(hklm, "System\\CurrentControlSet\\Control\\Nls\\Codepage", "ACP", "936");
    registry.setString(hklm, kCurrentVersion, "CurrentBuildNumber", "7601");
    registry.setDword(hklm, kCurrentVersion, "CurrentMajorVersionNumber", 6);
    registry.setDword(hklm, kCurrentVersion, "CurrentMinorVersionNumber", 1);
    registry.setString(hklm, kCurrentVersion, "CurrentVersion", "6.1");
    registry.setString(hklm, kCurrentVersion, "SystemRoot", "C:\\windows");
    registry.setString(hkcu, kVolatile, "APPDATA", "C:\\users\\bob\\AppData\\Roaming");
    registry.setString(hkcu, kVolatile, "USERNAME", "bob");
    registry.setString(hkcu, kVolatile, "USERPROFILE", "C:\\users\\bob");
}

std::string unixUser() {
    return getpwuid(getuid())->pw_name;
}

} // namespace

TEST_F(SystemInfoTest, ReadsWhereWineKeepsThem) {
    fillLikeWine(registry);
    EXPECT_EQ(info.computerName(), "VM");
    EXPECT_EQ(info.logonUser(), "bob");
    EXPECT_EQ(info.userProfile(), "C:\\users\\bob");
    EXPECT_EQ(info.windowsDir(), "C:\\windows");
    EXPECT_EQ(info.windowsVersion(), (WindowsVersion{6, 1, 7601}));
    EXPECT_EQ(info.ansiCodePage(), 936u);
}

TEST_F(SystemInfoTest, FallbacksWhenTheRegistryIsSilent) {
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    std::string expectedHost(host);
    expectedHost = expectedHost.substr(0, expectedHost.find('.')).substr(0, 15);
    for (char& c : expectedHost)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    EXPECT_EQ(info.computerName(), expectedHost);
    EXPECT_EQ(info.logonUser(), unixUser());
    EXPECT_EQ(info.userProfile(), "C:\\users\\" + unixUser());
    EXPECT_EQ(info.windowsDir(), "C:\\windows");
    EXPECT_EQ(info.windowsVersion(), (WindowsVersion{10, 0, 19045}));
    EXPECT_EQ(info.ansiCodePage(), 1252u);

    // Empty text, the wrong type or junk count as nothing.
    registry.setString(RootKey::CurrentUser, kVolatile, "USERNAME", "");
    registry.setDword(RootKey::CurrentUser, kVolatile, "USERPROFILE", 7);
    registry.setString(RootKey::LocalMachine, "System\\CurrentControlSet\\Control\\Nls\\CodePage",
                       "ACP", "utf-8");
    EXPECT_EQ(info.logonUser(), unixUser());
    EXPECT_EQ(info.userProfile(), "C:\\users\\" + unixUser());
    EXPECT_EQ(info.ansiCodePage(), 1252u);
}

TEST_F(SystemInfoTest, StoredTerminatorsAreNotPartOfTheText) {
    registry.setString(RootKey::CurrentUser, kVolatile, "USERNAME", std::string("bob\0\0", 5));
    EXPECT_EQ(info.logonUser(), "bob");
    EXPECT_EQ(info.userProfile(), "C:\\users\\bob");
}

TEST_F(SystemInfoTest, WindowsVersionPrefersTheNumbers) {
    // Wine's Windows 10 keeps "6.3" in CurrentVersion for old programs.
    registry.setString(RootKey::LocalMachine, kCurrentVersion, "CurrentVersion", "6.3");
    registry.setString(RootKey::LocalMachine, kCurrentVersion, "CurrentBuildNumber", "19045");
    EXPECT_EQ(info.windowsVersion(), (WindowsVersion{6, 3, 19045}));
    registry.setDword(RootKey::LocalMachine, kCurrentVersion, "CurrentMajorVersionNumber", 10);
    EXPECT_EQ(info.windowsVersion(), (WindowsVersion{6, 3, 19045})) << "needs both numbers";
    registry.setDword(RootKey::LocalMachine, kCurrentVersion, "CurrentMinorVersionNumber", 0);
    EXPECT_EQ(info.windowsVersion(), (WindowsVersion{10, 0, 19045}));
}

TEST_F(SystemInfoTest, WindowsVersionFromTextOnly) {
    registry.setString(RootKey::LocalMachine, kCurrentVersion, "CurrentVersion", "5.1");
    registry.setString(RootKey::LocalMachine, kCurrentVersion, "CurrentBuildNumber", "2600");
    EXPECT_EQ(info.windowsVersion(), (WindowsVersion{5, 1, 2600}));
    registry.setString(RootKey::LocalMachine, kCurrentVersion, "CurrentVersion", "six");
    EXPECT_EQ(info.windowsVersion(), (WindowsVersion{10, 0, 2600}));
}

TEST_F(SystemInfoTest, ExpandsTheNamesItKnows) {
    fillLikeWine(registry);
    EXPECT_EQ(info.expandEnvironmentStrings("%UserProfile%\\Application Data\\Microsoft"),
              "C:\\users\\bob\\Application Data\\Microsoft");
    EXPECT_EQ(info.expandEnvironmentStrings("%USERPROFILE%|%userprofile%|%USERNAME%"),
              "C:\\users\\bob|C:\\users\\bob|bob");
    EXPECT_EQ(info.expandEnvironmentStrings("%windir%\\system32;%SystemRoot%;%COMPUTERNAME%"),
              "C:\\windows\\system32;C:\\windows;VM");
    EXPECT_EQ(info.expandEnvironmentStrings("%AppData%\\Microsoft"),
              "C:\\users\\bob\\AppData\\Roaming\\Microsoft");
    EXPECT_EQ(info.expandEnvironmentStrings("no names here"), "no names here");
}

TEST_F(SystemInfoTest, LeavesUnknownNamesAndLonePercentSigns) {
    fillLikeWine(registry);
    EXPECT_EQ(info.expandEnvironmentStrings("%NOSUCH%\\x"), "%NOSUCH%\\x");
    EXPECT_EQ(info.expandEnvironmentStrings("100% done"), "100% done");
    EXPECT_EQ(info.expandEnvironmentStrings("%%"), "%%");
    EXPECT_EQ(info.expandEnvironmentStrings("%"), "%");
    EXPECT_EQ(info.expandEnvironmentStrings("%NOSUCH%USERNAME%"), "%NOSUCHbob");
    EXPECT_EQ(info.expandEnvironmentStrings("50%%USERNAME%"), "50%bob");
}

TEST(SystemInfoOnWine, ReadsTheRegistryWineWrote) {
    WinePrefix prefix(std::string(TRELMIG_FIXTURES_DIR) + "/wine-8.0");
    trelmig::WineRegistry registry(prefix);
    SystemInfo info(registry, prefix);
    EXPECT_EQ(info.computerName(), "VM");
    EXPECT_EQ(info.logonUser(), "root");
    EXPECT_EQ(info.userProfile(), "C:\\users\\root");
    EXPECT_EQ(info.windowsDir(), "C:\\windows");
    EXPECT_EQ(info.windowsVersion(), (WindowsVersion{6, 1, 7601}));
    EXPECT_EQ(info.ansiCodePage(), 1252u);
}
