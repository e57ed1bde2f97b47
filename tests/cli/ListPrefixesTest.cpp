// trelmig --list-prefixes in a home folder of its own, with prefixes planted
// in every place the tools that make them use, and Windows partitions mounted
// in a place of the test's own.
#include "SamplePrefixCopy.h"

#include "ParseArguments.h"
#include "RunShell.h"

#include "../platform/ScopedEnv.h"
#include "cli/Verbs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

void copySample(const fs::path& sample, const fs::path& to) {
    fs::create_directories(to.parent_path());
    fs::copy(sample, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

// A fresh prefix without Outlook: what wineboot leaves, trimmed.
void plantEmptyPrefix(const fs::path& root) {
    fs::create_directories(root / "drive_c/windows");
    std::ofstream(root / "system.reg") << "WINE REGISTRY Version 2\n;; All keys relative to "
                                          "REGISTRY\\\\Machine\n\n#arch=win64\n";
}

} // namespace

class ListPrefixes : public ::testing::Test {
protected:
    trelmig::WorkFolder work;
    fs::path home = work.path() / "home";

    CommandRun list(const std::string& extra = "") {
        return RunShell("env -u WINEPREFIX -u XDG_DATA_HOME HOME='" + home.string() + "' " + extra +
                        " " + TRELMIG_BINARY + " --list-prefixes");
    }
};

TEST_F(ListPrefixes, ShowsEveryPlaceWithItsOutlookAndProfiles) {
    copySample(kSamplePrefix2010, home / ".wine");
    copySample(kSamplePrefix2016, home / ".local/share/bottles/bottles/Office 2016");
    plantEmptyPrefix(home / ".cxoffice/Outlook");
    plantEmptyPrefix(home / ".var/app/com.usebottles.bottles/data/bottles/bottles/Mail");
    plantEmptyPrefix(home / ".PlayOnLinux/wineprefix/Office");
    plantEmptyPrefix(home / "Games/microsoft-office-2016");
    plantEmptyPrefix(home / ".local/share/wineprefixes/office2013");
    plantEmptyPrefix(work.path() / "own");

    const CommandRun run = list("WINEPREFIX='" + (work.path() / "own").string() + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string h = home.string();
    const std::string none = "  Outlook: no mail profile found\n";
    EXPECT_EQ(
        run.output,
        "Wine prefix: " + (work.path() / "own").string() + " (WINEPREFIX)\n" + none +
            "\nWine prefix: " + h +
            "/.wine (~/.wine)\n"
            "  Outlook: Outlook 2010\n"
            "  Profile \"Outlook\"\n"
            "    data file  C:\\users\\sam\\AppData\\Local\\Microsoft\\Outlook\\Archive.pst\n"
            "    data file  C:\\users\\sam\\AppData\\Local\\Microsoft\\Outlook\\Outlook.pst\n"
            "  Profile \"Work\"\n"
            "    data file  C:\\users\\sam\\AppData\\Local\\Microsoft\\Outlook\\Old "
            "Projects.pst (missing)\n"
            "    data file  C:\\users\\sam\\AppData\\Local\\Microsoft\\Outlook\\Work.pst\n"
            "\nWine prefix: " +
            h + "/.cxoffice/Outlook (CrossOver)\n" + none + "\nWine prefix: " + h +
            "/.local/share/bottles/bottles/Office 2016 (Bottles)\n"
            "  Outlook: Outlook 2016\n"
            "  Profile \"Outlook\"\n"
            "    data file  C:\\users\\sam\\Documents\\Outlook Files\\Archive.pst\n"
            "    data file  C:\\users\\sam\\Documents\\Outlook Files\\sam@example.com.pst\n"
            "  Profile \"Work\"\n"
            "    data file  C:\\users\\sam\\Documents\\Outlook "
            "Files\\sam@work.example.org.pst\n"
            "\nWine prefix: " +
            h + "/.var/app/com.usebottles.bottles/data/bottles/bottles/Mail (Bottles (Flatpak))\n" +
            none + "\nWine prefix: " + h + "/.PlayOnLinux/wineprefix/Office (PlayOnLinux)\n" +
            none + "\nWine prefix: " + h + "/Games/microsoft-office-2016 (Lutris)\n" + none +
            "\nWine prefix: " + h + "/.local/share/wineprefixes/office2013 (winetricks)\n" + none);
}

TEST_F(ListPrefixes, ABrokenPrefixIsReportedAndTheOthersListed) {
    copySample(kSamplePrefix2016, home / ".wine");
    plantEmptyPrefix(home / ".cxoffice/Broken");
    std::ofstream(home / ".cxoffice/Broken/user.reg") << "not a registry file\n";

    const CommandRun run = list();
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("  Outlook: Outlook 2016\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(".cxoffice/Broken (CrossOver)\n  unreadable: "), std::string::npos)
        << run.output;
}

TEST_F(ListPrefixes, NoPrefixAnywhereFails) {
    fs::create_directories(home);
    const CommandRun run = list();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("no Wine prefix found"), std::string::npos) << run.output;
}

TEST_F(ListPrefixes, AMountedWindowsPartitionShowsItsUserFoldersAfterThePrefixes) {
    copySample(kSamplePrefix2016, home / ".wine");
    // The Windows PC the 2010 sample stands for, on a partition mounted as a
    // desktop mounts it, shut down with Fast Startup.
    SamplePrefixCopy pc;
    const fs::path media = work.path() / "media";
    const fs::path partition = media / "Windows 10";
    const CommandRun made =
        RunShell(std::string(TRELMIG_MAKE_WINDOWS_DISK) + " '" + pc.root.string() + "' sam '" +
                 partition.string() + "' --dirty");
    ASSERT_EQ(made.status, 0) << made.output;
    const fs::path userFolder = partition / "Users" / "sam";
    const std::string hiveBefore = readWholeFile(userFolder / "NTUSER.DAT");

    const ScopedEnv noPrefix("WINEPREFIX", std::nullopt);
    const ScopedEnv noData("XDG_DATA_HOME", std::nullopt);
    const ScopedEnv ownHome("HOME", home.string());
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(trelmig::ListPrefixesAndPartitions(parse({"--list-prefixes"}),
                                                 {work.path() / "no such place", media}, out, err),
              0)
        << err.str();
    const std::string listed = out.str();
    const auto prefixAt = listed.find("Wine prefix: " + home.string() + "/.wine (~/.wine)\n");
    const auto userAt =
        listed.find("\nWindows user folder: " + userFolder.string() + " (Windows partition " +
                    partition.string() + "; back up with --windows-user)\n  warning: ");
    ASSERT_NE(prefixAt, std::string::npos) << listed;
    ASSERT_NE(userAt, std::string::npos) << listed;
    EXPECT_LT(prefixAt, userAt);
    const std::string user = listed.substr(userAt);
    EXPECT_NE(user.find("Fast Startup"), std::string::npos) << user;
    EXPECT_NE(user.find("\n  Outlook: Outlook 2010\n  Profile \"Outlook\"\n"), std::string::npos)
        << user;
    EXPECT_NE(user.find("\n  Profile \"Work\"\n"), std::string::npos) << user;
    EXPECT_EQ(readWholeFile(userFolder / "NTUSER.DAT"), hiveBefore);
}
