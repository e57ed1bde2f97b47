#include "cli/CommandLine.h"

#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <sys/wait.h>

#include "RunShell.h"

#include "ParseArguments.h"

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

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
    EXPECT_EQ(parse({"--list-prefixes"}).mode, CommandLine::Mode::ListPrefixes);
    EXPECT_EQ(parse({"--list-prefixes", "--list-profiles"}).mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(parse({"--help"}).mode, CommandLine::Mode::Help);
    EXPECT_EQ(parse({"--version"}).mode, CommandLine::Mode::Version);
    EXPECT_EQ(parse({"--bogus"}).mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(parse({"--prefix"}).mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(parse({"--list-profiles", "sf=Outlook"}).mode, CommandLine::Mode::Invalid);

    auto unattended = parse({"sf=My", "Profile", "xm=10000000", "ps=", "bf=/tmp/a b.kvx"});
    EXPECT_EQ(unattended.mode, CommandLine::Mode::Unattended);
    EXPECT_EQ(unattended.unattendedLine, "sf=My Profile xm=10000000 ps= bf=/tmp/a b.kvx");
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
    // A folder that is not there is a wrong command line, refused before any
    // verb runs, also for the window.
    const ProgramRun missing = run("--prefix /nonexistent/prefix --list-profiles");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.out.find("There is no Wine prefix at /nonexistent/prefix"), std::string::npos)
        << missing.out;
    EXPECT_EQ(run("--prefix=/nonexistent/prefix").status, 2);
    EXPECT_EQ(run("--prefix /nonexistent/prefix sf=Outlook xm=10000000 ps= bf=/tmp/x.kvx").status,
              2);
}

TEST(CommandLine, FilesThatAreMissingOrFoldersAreNamedAsSuch) {
    trelmig::WorkFolder dir;
    const std::string d = dir.path().string();
    std::ofstream(dir.path() / "b.kvx") << "not read";
    const ProgramRun missing = run("--inspect '" + d + "/gone.kvx'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.out.find("There is no backup file " + d + "/gone.kvx."), std::string::npos)
        << missing.out;
    const ProgramRun folder = run("--inspect '" + d + "'");
    EXPECT_EQ(folder.status, 2);
    EXPECT_NE(folder.out.find(d + " is a folder, not a backup file."), std::string::npos)
        << folder.out;
    const ProgramRun password = run("--restore '" + d +
                                    "/b.kvx' --profile Outlook --items 10000000 "
                                    "--password-file '" +
                                    d + "'");
    EXPECT_EQ(password.status, 2);
    EXPECT_NE(password.out.find(d + " is a folder, not a password file."), std::string::npos)
        << password.out;
    for (const ProgramRun& r : {missing, folder, password}) {
        EXPECT_EQ(r.out.find("Invalid backup file"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("Incorrect Password"), std::string::npos) << r.out;
    }
}

TEST(CommandLine, AnImageIsNeverWrittenOverOrInsideItsSources) {
    trelmig::WorkFolder dir;
    const fs::path source = dir.path() / "data.iso";
    std::ofstream(source) << "precious";
    fs::create_directories(dir.path() / "folder");
    std::ofstream(dir.path() / "folder" / "a.txt") << "a";
    const std::string d = dir.path().string();
    for (const std::string& args :
         {"--write-iso '" + d + "/data.iso' '" + d + "/data.iso'",
          "--write-iso '" + d + "/./data.iso' '" + d + "/folder/../data.iso'",
          "--write-iso '" + d + "/folder/new.iso' '" + d + "/folder'"}) {
        const ProgramRun r = run(args);
        EXPECT_EQ(r.status, 2) << args << r.out;
        EXPECT_NE(r.out.find("source"), std::string::npos) << r.out;
    }
    EXPECT_EQ(readWholeFile(source), "precious");
    EXPECT_FALSE(fs::exists(dir.path() / "folder" / "new.iso"));
}

TEST(CommandLine, AProtectedBackupWithNobodyToAskIsRefusedWithTheReason) {
    SamplePrefixCopy sample;
    const std::string archive = (sample.work.path() / "p.kvx").string();
    const std::string prefix = " --prefix '" + sample.root.string() + "' ";
    ASSERT_EQ(run(prefix + "sf=Outlook xm=00100000 ps=secret 'bf=" + archive + "'").status, 0);
    // setsid: no terminal to type the password on.
    const CommandRun r =
        RunShell("setsid " + std::string(TRELMIG_BINARY) + prefix + "--inspect '" + archive + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("there is no terminal to type its password on"), std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("Incorrect Password"), std::string::npos) << r.output;
}

// A user whose prefixes are all bottles has no ~/.wine: looking into a backup
// file reads only the file, with or without a prefix at hand.
TEST(CommandLine, InspectReadsOnlyTheFile) {
    SamplePrefixCopy sample;
    const std::string archive = (sample.work.path() / "s.kvx").string();
    ASSERT_EQ(run("--prefix '" + sample.root.string() +
                  "' sf=Outlook xm=00100000 ps= 'bf=" + archive + "'")
                  .status,
              0);
    const fs::path home = sample.work.path() / "home";
    fs::create_directories(home);
    const std::string noPrefix = "env -u WINEPREFIX HOME='" + home.string() + "' " +
                                 std::string(TRELMIG_BINARY) + " --inspect '" + archive + "'";
    const CommandRun r = RunShell(noPrefix);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Profile:Outlook"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("present  Signatures"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Wine prefix"), std::string::npos) << r.output;
    EXPECT_TRUE(fs::is_empty(home)); // nothing made where a prefix would be

    const CommandRun named =
        RunShell("env -u WINEPREFIX HOME='" + home.string() + "' " + std::string(TRELMIG_BINARY) +
                 " --prefix '" + (home / "gone").string() + "' --inspect '" + archive + "'");
    EXPECT_EQ(named.status, 0) << named.output;
}

TEST(CommandLine, NewProfileAndUndoOptions) {
    const auto create =
        parse({"--restore", "b.kvx", "--profile", "New", "--create", "--items", "10000000"});
    EXPECT_EQ(create.mode, CommandLine::Mode::Restore);
    EXPECT_TRUE(create.createProfile);
    EXPECT_EQ(parse({"--inspect", "b.kvx", "--create"}).mode, CommandLine::Mode::Invalid);

    EXPECT_EQ(parse({"--undo-restore"}).mode, CommandLine::Mode::UndoRestore);
    EXPECT_EQ(parse({"--undo-restore"}).undoNumber, 1);
    EXPECT_EQ(parse({"--undo-restore", "3"}).undoNumber, 3);
    EXPECT_EQ(parse({"--undo-restore=2", "--prefix", "/p"}).undoNumber, 2);
    for (const char* wrong : {"0", "6", "x"})
        EXPECT_EQ(parse({(std::string("--undo-restore=") + wrong).c_str()}).mode,
                  CommandLine::Mode::Invalid)
            << wrong;
    // A number that is not one is the next argument, not the undo's.
    EXPECT_EQ(parse({"--undo-restore", "--list-jobs"}).mode, CommandLine::Mode::Invalid);
}

// A restore from the command line keeps what it replaced; --undo-restore puts
// it back, and there is nothing left to undo then.
TEST(CommandLine, UndoRestorePutsBackWhatTheRestoreReplaced) {
    SamplePrefixCopy sample;
    const std::string archive = (sample.work.path() / "s.kvx").string();
    const std::string prefix = " --prefix '" + sample.root.string() + "' ";
    ASSERT_EQ(run(prefix + "sf=Outlook xm=00110011 ps= 'bf=" + archive + "'").status, 0);
    // What the backup holds is changed, so that the restore changes it back.
    const fs::path signatures = sample.userFolder() / "AppData/Roaming/Microsoft/Signatures";
    std::ofstream(signatures / "Personal.txt") << "changed since";
    fs::remove(signatures / "Personal.htm");
    const auto before = snapshot(sample.root);
    const std::string state = "XDG_STATE_HOME='" + (sample.work.path() / "state").string() + "' ";

    const CommandRun restore = RunShell(state + TRELMIG_BINARY + prefix + "--restore '" + archive +
                                        "' --profile Work --items 00110011");
    ASSERT_EQ(restore.status, 0) << restore.output;
    ASSERT_NE(snapshot(sample.root), before);
    const CommandRun undo = RunShell(state + TRELMIG_BINARY + " --undo-restore");
    EXPECT_EQ(undo.status, 0) << undo.output;
    EXPECT_NE(
        undo.output.find("Undone: the restore into profile \"Work\" of " + sample.root.string()),
        std::string::npos)
        << undo.output;
    const auto after = snapshot(sample.root);
    for (const auto& [name, content] : before) {
        if (name.ends_with(".reg"))
            continue;
        EXPECT_EQ(after.count(name) ? after.at(name) : "<missing>", content) << name;
    }
    EXPECT_EQ(after.size(), before.size());

    const CommandRun again = RunShell(state + TRELMIG_BINARY + " --undo-restore");
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.output.find("there is no restore to undo"), std::string::npos) << again.output;
}

// A password typed at the terminal and refused is asked again, three tries in
// all (script(1) gives the program a terminal and types into it).
TEST(CommandLine, ARefusedPasswordIsAskedAgainAtTheTerminal) {
    if (RunShell("command -v script").status != 0)
        GTEST_SKIP() << "script (util-linux) is not installed";
    SamplePrefixCopy sample;
    const std::string archive = (sample.work.path() / "p.kvx").string();
    const std::string prefix = " --prefix '" + sample.root.string() + "' ";
    ASSERT_EQ(run(prefix + "sf=Outlook xm=00100000 ps=secret 'bf=" + archive + "'").status, 0);
    const auto typed = [&](const std::string& lines) {
        return RunShell("printf '" + lines + "' | script -qec \"" + TRELMIG_BINARY +
                        " --inspect '" + archive + "'\" /dev/null");
    };
    const CommandRun second = typed("guess\\nsecret\\n");
    EXPECT_EQ(second.status, 0) << second.output;
    EXPECT_NE(second.output.find("present  Signatures"), std::string::npos) << second.output;

    const CommandRun never = typed("a\\nb\\nc\\nsecret\\n");
    EXPECT_EQ(never.status, 2) << never.output;
    std::size_t refusals = 0;
    for (auto at = never.output.find("Incorrect Password"); at != std::string::npos;
         at = never.output.find("Incorrect Password", at + 1))
        ++refusals;
    EXPECT_EQ(refusals, 3u) << never.output;
}
