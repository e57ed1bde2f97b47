#include "cli/CommandLine.h"

#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <sys/wait.h>

#include "RunShell.h"

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

CommandLine parse(std::vector<const char*> args) {
    args.insert(args.begin(), "trelmig");
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

struct ProgramRun {
    int status;
    std::string out;
};

ProgramRun run(const std::string& args) {
    const CommandRun r = RunShell(std::string(TRELMIG_BINARY) + " " + args);
    return {r.status, r.output};
}

// Every file of a folder with its content (links as their targets).
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const auto rel = fs::relative(it->path(), root).string();
        if (it->is_symlink())
            files[rel] = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_regular_file())
            files[rel] = readWholeFile(it->path());
        else
            files[rel] = "<dir>";
    }
    return files;
}

} // namespace

TEST(CommandLine, OurOptionsAndTheUnattendedRun) {
    EXPECT_EQ(parse({}).mode, CommandLine::Mode::Gui);
    auto withPrefix = parse({"--prefix", "/p"});
    EXPECT_EQ(withPrefix.mode, CommandLine::Mode::Gui);
    EXPECT_EQ(withPrefix.prefix, fs::path("/p"));
    EXPECT_EQ(parse({"--prefix=/q", "--list-profiles"}).prefix, fs::path("/q"));
    EXPECT_EQ(parse({"--list-profiles"}).mode, CommandLine::Mode::ListProfiles);
    EXPECT_EQ(parse({"--help"}).mode, CommandLine::Mode::Help);
    EXPECT_EQ(parse({"--version"}).mode, CommandLine::Mode::Version);
    EXPECT_EQ(parse({"--bogus"}).mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(parse({"--prefix"}).mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(parse({"--list-profiles", "sf=Outlook"}).mode, CommandLine::Mode::Invalid);

    auto unattended = parse({"sf=My", "Profile", "xm=10000000", "ps=", "bf=/tmp/a b.kvx"});
    EXPECT_EQ(unattended.mode, CommandLine::Mode::Unattended);
    EXPECT_EQ(unattended.strCommandLine, "sf=My Profile xm=10000000 ps= bf=/tmp/a b.kvx");
}

TEST(CommandLine, ListProfilesReportsTheSampleAndChangesNothing) {
    SamplePrefixCopy sample;
    const auto before = snapshot(sample.root);
    const ProgramRun r = run("--prefix '" + sample.root.string() + "' --list-profiles");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Windows: 6.1 (build 7601)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Outlook: Outlook 2010"), std::string::npos);
    EXPECT_NE(r.out.find("Profile \"Outlook\""), std::string::npos);
    EXPECT_NE(r.out.find("Profile \"Work\""), std::string::npos);
    EXPECT_NE(r.out.find("unavailable  Personal Address Book (this Outlook has no Personal "
                         "Address Book)"),
              std::string::npos);
    EXPECT_EQ(snapshot(sample.root), before);
}

TEST(CommandLine, AFolderThatIsNoPrefixIsAClearError) {
    trelmig::WorkFolder empty;
    const ProgramRun r = run("--prefix '" + empty.path().string() + "' --list-profiles");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("is not a Wine prefix"), std::string::npos) << r.out;
    const ProgramRun missing = run("--prefix /nonexistent/prefix --list-profiles");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("There is no Wine prefix at /nonexistent/prefix"), std::string::npos)
        << missing.out;
}
