#include "platform/WinePrefixFinder.h"
#include "platform/WorkFolder.h"

#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

// A folder as Wine leaves a prefix: registry files and drive_c.
void plantPrefix(const fs::path& root, const char* registryFile = "system.reg") {
    fs::create_directories(root / "drive_c");
    std::ofstream(root / registryFile) << "WINE REGISTRY Version 2\n";
}

std::vector<std::string> described(const std::vector<FoundPrefix>& found, const fs::path& home) {
    std::vector<std::string> lines;
    for (const auto& p : found)
        lines.push_back(p.origin + " " + fs::relative(p.root, home).generic_string());
    return lines;
}

} // namespace

class PrefixFinder : public ::testing::Test {
protected:
    WorkFolder work;
    fs::path home = work.path() / "home";
    PrefixPlaces places{home, std::nullopt, std::nullopt};
};

TEST_F(PrefixFinder, FindsThePrefixesOfEveryPlaceInOrder) {
    plantPrefix(home / ".wine");
    plantPrefix(home / ".cxoffice/Office 2016");
    plantPrefix(home / ".cxoffice/Another", "user.reg");
    plantPrefix(home / ".local/share/bottles/bottles/Outlook");
    plantPrefix(home / ".var/app/com.usebottles.bottles/data/bottles/bottles/Mail");
    plantPrefix(home / ".PlayOnLinux/wineprefix/Office2013");
    plantPrefix(home / "Games/microsoft-office");
    plantPrefix(home / "Games/outlook-2016/prefix");
    plantPrefix(home / ".local/share/wineprefixes/office");
    plantPrefix(work.path() / "elsewhere");
    places.winePrefix = work.path() / "elsewhere";

    EXPECT_EQ(described(FindWinePrefixes(places), home),
              (std::vector<std::string>{
                  "WINEPREFIX ../elsewhere",
                  "~/.wine .wine",
                  "CrossOver .cxoffice/Another",
                  "CrossOver .cxoffice/Office 2016",
                  "Bottles .local/share/bottles/bottles/Outlook",
                  "Bottles (Flatpak) .var/app/com.usebottles.bottles/data/bottles/bottles/Mail",
                  "PlayOnLinux .PlayOnLinux/wineprefix/Office2013",
                  "Lutris Games/microsoft-office",
                  "Lutris Games/outlook-2016/prefix",
                  "winetricks .local/share/wineprefixes/office",
              }));
}

TEST_F(PrefixFinder, PassesOverFoldersThatAreNoPrefix) {
    fs::create_directories(home / ".wine/drive_c"); // no registry file
    std::ofstream(
        (fs::create_directories(home / ".cxoffice/Half"), home / ".cxoffice/Half/user.reg"));
    fs::create_directories(home / "Games/solitaire/data"); // a game, not a prefix
    std::ofstream(home / ".PlayOnLinux") << "a file where a folder was expected";
    EXPECT_TRUE(FindWinePrefixes(places).empty());
    EXPECT_FALSE(LooksLikeWinePrefix(home / "missing"));
}

TEST_F(PrefixFinder, NamesEachPrefixOnceAndFollowsXdgDataHome) {
    plantPrefix(home / ".wine");
    // $WINEPREFIX naming ~/.wine through a link is the same prefix.
    fs::create_directories(work.path() / "links");
    fs::create_directory_symlink(home / ".wine", work.path() / "links/wine");
    places.winePrefix = work.path() / "links/wine";
    plantPrefix(work.path() / "data/wineprefixes/office");
    places.xdgDataHome = work.path() / "data";
    plantPrefix(home / ".local/share/wineprefixes/hidden");

    const auto found = FindWinePrefixes(places);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].origin, "WINEPREFIX");
    EXPECT_EQ(found[1].root, work.path() / "data/wineprefixes/office");
}

TEST_F(PrefixFinder, ThePlacesComeFromTheEnvironment) {
    ScopedEnv homeVar("HOME", home.string());
    ScopedEnv prefixVar("WINEPREFIX", std::string("/opt/prefix"));
    ScopedEnv dataVar("XDG_DATA_HOME", std::string("relative/is/ignored"));
    const PrefixPlaces fromEnv = PrefixPlaces::FromEnvironment();
    EXPECT_EQ(fromEnv.home, home);
    EXPECT_EQ(fromEnv.winePrefix, fs::path("/opt/prefix"));
    EXPECT_FALSE(fromEnv.xdgDataHome);
}
