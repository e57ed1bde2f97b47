#include "schedule/AutoBackup.h"

#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/wait.h>

#include "RunShell.h"

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

std::optional<AutoBackupCommand> parse(std::vector<std::string> args) {
    std::string error;
    auto cmd = ParseAutoBackupCommand(args, error);
    EXPECT_EQ(cmd.has_value(), error.empty()) << error;
    return cmd;
}

int runProgram(const std::string& args, std::string& output) {
    const CommandRun r = RunShell(std::string(TRELMIG_BINARY) + " " + args);
    output = r.output;
    return r.status;
}

} // namespace

TEST(AutoBackupCommandLine, ValuesByPosition) {
    // As a scheduled job writes it: one piece, no separators.
    auto a = parse({"sf=My Profilexm=10000001ps=se cretbf=C:\\b k.kvx"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->profile, "My Profile");
    EXPECT_EQ(a->mask, "10000001");
    EXPECT_EQ(a->password, "se cret");
    EXPECT_EQ(a->backupFile, "C:\\b k.kvx");
    // Typed by hand as separate arguments: the joining blanks are no part of a value.
    auto b = parse({"sf=Outlook", "xm=11111111", "ps=", "bf=/tmp/x.kvx"});
    ASSERT_TRUE(b);
    EXPECT_EQ(b->profile, "Outlook");
    EXPECT_EQ(b->mask, "11111111");
    EXPECT_EQ(b->password, "");
    // Names are never compared, only positions count.
    auto c = parse({"aa=P", "bb=00000010", "cc=pw ", "dd=f"});
    ASSERT_TRUE(c);
    EXPECT_EQ(c->password, "pw ");
}

TEST(AutoBackupCommandLine, LinesTheFormatCannotCarryAreRefused) {
    std::string error;
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"stray"},
             {"sf=xm=11111111ps=bf=/tmp/x"},            // empty profile
             {"sf=Outlookxm=ps=bf=/tmp/x"},             // empty mask
             {"sf=Outlookxm=11111111ps=bf="},           // empty file
             {"sf=Outlookxm=1111111ps=bf=/tmp/x"},      // seven items
             {"sf=Outlookxm=1111111xps=bf=/tmp/x"},     // not 0/1
             {"sf=Outlookxm=11111111ps=a=bbf=/tmp/x"},  // "=" in a value
             {"sf=Outlookxm=11111111ps="},              // too few
             {"sf=Outlookxm=00000000ps=bf=/tmp/x"},     // no item
             {"sf=Outlookxm=11111111ps=a\nbbf=/tmp/x"}, // a password no prompt can type
             {"sf=Outlookxm=11111111ps=a\r\nbf=/tmp/x"},
             {std::string("sf=Outlookxm=11111111ps=a") + '\0' + "bbf=/tmp/x"},
         })
        EXPECT_FALSE(ParseAutoBackupCommand(bad, error)) << bad[0];
}

TEST(AutoBackupRun, BadCommandLinesExitNonZeroAndTouchNothing) {
    SamplePrefixCopy sample;
    const fs::path target = sample.work.path() / "auto.kvx";
    std::ofstream(target) << "previous archive";
    std::string out;
    for (const std::string& args : std::vector<std::string>{
             "stray", "'sf=xm=11111111ps=bf=" + target.string() + "'",
             "'sf=Outlookxm=1111ps=bf=" + target.string() + "'",
             "'sf=Outlookxm=11111111ps=a=bbf=" + target.string() + "'",
             "'sf=Outlookxm=00000000ps=bf=" + target.string() + "'",
             "\"sf=Outlookxm=11111111ps=pass$(printf '\\nword')bf=" + target.string() + "\""}) {
        EXPECT_EQ(runProgram("--prefix '" + sample.root.string() + "' " + args, out), 2) << args;
        EXPECT_NE(out.find("refused"), std::string::npos) << out;
        EXPECT_EQ(readWholeFile(target), "previous archive");
    }
    EXPECT_EQ(runProgram("--prefix '" + sample.root.string() +
                             "' 'sf=Nobodyxm=11111111ps=bf=" + target.string() + "'",
                         out),
              1);
    EXPECT_NE(out.find("there is no Outlook profile \"Nobody\""), std::string::npos) << out;
    EXPECT_EQ(readWholeFile(target), "previous archive");
}

TEST(AutoBackupRun, AFileSizeLimitIsReportedAndLeavesNothingBehind) {
    SamplePrefixCopy sample;
    const fs::path folder = sample.work.path() / "backups";
    fs::create_directories(folder);
    const fs::path target = folder / "auto.kvx";
    std::ofstream(target) << "previous archive";
    // 16 blocks of 512 bytes: far less than the sample's data files.
    const CommandRun r =
        RunShell("ulimit -f 16; " + std::string(TRELMIG_BINARY) + " --prefix '" +
                 sample.root.string() + "' 'sf=Outlookxm=11111111ps=pwbf=" + target.string() + "'");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("File too large"), std::string::npos) << r.output;
    EXPECT_EQ(readWholeFile(target), "previous archive");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST(AutoBackupRun, ThePasswordComesFromAFileAndAOnceJobsFileGoesAfterReading) {
    SamplePrefixCopy sample;
    const fs::path config = sample.work.path() / "config";
    const fs::path jobs = config / "trelmig" / "jobs";
    fs::create_directories(jobs);
    const fs::path once = jobs / "once-AbC123.password";
    std::ofstream(once) << "s3cret\n";
    const fs::path target = sample.work.path() / "auto.kvx";
    const std::string run = "XDG_CONFIG_HOME='" + config.string() + "' " + TRELMIG_BINARY +
                            " --prefix '" + sample.root.string() + "' --password-file ";
    CommandRun r = RunShell(run + "'" + once.string() +
                            "' 'sf=Outlookxm=10000000ps=bf=" + target.string() + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_FALSE(fs::exists(once));
    ASSERT_TRUE(fs::exists(target));
    if (std::system("command -v 7z >/dev/null 2>&1") == 0) {
        EXPECT_EQ(std::system(("7z t -ps3cret '" + target.string() + "' >/dev/null 2>&1").c_str()),
                  0);
    }

    // A password given twice, or a file that cannot be read, is refused.
    const fs::path mine = sample.work.path() / "pw.txt";
    std::ofstream(mine) << "s3cret";
    r = RunShell(run + "'" + mine.string() +
                 "' 'sf=Outlookxm=10000000ps=otherbf=" + target.string() + "'");
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_TRUE(fs::exists(mine)); // not a job's file: never removed
    r = RunShell(run + "'" + sample.work.path().string() +
                 "' 'sf=Outlookxm=10000000ps=bf=" + target.string() + "'");
    EXPECT_EQ(r.status, 2) << r.output;
}

TEST(AutoBackupRun, WritesTheArchiveWithoutAWindow) {
    SamplePrefixCopy sample;
    const fs::path target = sample.work.path() / "auto.kvx";
    std::string out;
    const int code = runProgram("--prefix '" + sample.root.string() + "' sf=Outlook xm=11110111 " +
                                    "ps=s3cret bf='" + target.string() + "'",
                                out);
    EXPECT_EQ(code, 0) << out;
    EXPECT_TRUE(out.empty()) << out;
    ASSERT_TRUE(fs::exists(target));
    if (std::system("command -v 7z >/dev/null 2>&1") == 0) {
        const std::string test = "7z t -ps3cret '" + target.string() + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(test.c_str()), 0);
        const std::string wrong = "7z t -pwrong '" + target.string() + "' >/dev/null 2>&1";
        EXPECT_NE(std::system(wrong.c_str()), 0);
    }
    // Work has no rules file but every chosen item succeeds: exit 0.
    EXPECT_EQ(runProgram("--prefix '" + sample.root.string() + "' sf=Work xm=00000010 ps= bf='" +
                             target.string() + "'",
                         out),
              0)
        << out;
}
