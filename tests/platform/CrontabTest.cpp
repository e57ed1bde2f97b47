#include "platform/Crontab.h"

#include "CronShell.h"
#include "FakeCrontab.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace trelmig;

namespace trelmig {
void PrintTo(const AtInfo& i, std::ostream* os) {
    *os << "{jobTime " << i.jobTime << ", daysOfMonth " << i.daysOfMonth << ", daysOfWeek "
        << int(i.daysOfWeek) << ", Flags " << int(i.flags) << ", Command " << i.command << "}";
}
} // namespace trelmig

namespace {

const std::string kArgs = "sf=Outlookxm=11111111ps=bf=/home/sam/b.kvx";

AtInfo record(std::uint32_t time, std::uint8_t days, std::uint8_t flags = kJobRunPeriodically,
              std::uint32_t monthDays = 0) {
    return AtInfo{time, monthDays, days, flags, "\"/usr/bin/trelmig\" " + kArgs};
}

// Runs "sh -c command" with an empty environment, as cron does with a
// minimal one; the words the program printed, NUL-separated.
std::vector<std::string> runShell(const std::string& command) {
    std::string quoted;
    for (char c : command)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    FILE* p = popen(("env -i /bin/sh -c '" + quoted + "'").c_str(), "r");
    std::string out;
    std::array<char, 4096> buf{};
    while (std::size_t n = fread(buf.data(), 1, buf.size(), p))
        out.append(buf.data(), n);
    pclose(p);
    std::vector<std::string> words;
    for (std::size_t start = 0, end; (end = out.find('\0', start)) != std::string::npos;
         start = end + 1)
        words.push_back(out.substr(start, end - start));
    return words;
}

} // namespace

TEST(CronJobLine, ScheduleWindowRecordsAsCrontabLines) {
    const std::string tail = " WINEPREFIX='/home/sam/.wine' '/usr/bin/trelmig' '" + kArgs + "'";
    // 9:00 on Monday and Thursday.
    EXPECT_EQ(CronJobLine(record(32400000, 9), 1, "/home/sam/.wine"),
              "0 9 * * 1,4" + tail + " # trelmig job 1");
    // 23:30 every day.
    EXPECT_EQ(CronJobLine(record(84600000, 127), 2, "/home/sam/.wine"),
              "30 23 * * *" + tail + " # trelmig job 2");
    // No day: once, at the next 0:00; the line removes itself first.
    EXPECT_EQ(CronJobLine(record(0, 0), 3, "/home/sam/.wine"),
              "0 0 * * * '/usr/bin/trelmig' --remove-job 3 &&" + tail + " # trelmig job 3");
    // Saturday and Sunday: cron counts Sunday as 0.
    EXPECT_EQ(CronJobLine(record(60000 * 75, 32 | 64), 4, "/home/sam/.wine"),
              "15 1 * * 6,0" + tail + " # trelmig job 4");
    // Days of the month beside every weekday: both fields restricted, so cron
    // runs on either, as the job scheduler does.
    EXPECT_EQ(CronJobLine(record(32400000, 127, 1, 1u | (1u << 14)), 5, "/home/sam/.wine"),
              "0 9 1,15 * 1,2,3,4,5,6,0" + tail + " # trelmig job 5");
    // Not periodic: once, on the next Monday.
    EXPECT_EQ(CronJobLine(record(32400000, 1, 0), 6, "/home/sam/.wine"),
              "0 9 * * 1 '/usr/bin/trelmig' --remove-job 6 &&" + tail + " # trelmig job 6");
    // No prefix named: no assignment.
    EXPECT_EQ(CronJobLine(record(32400000, 9), 7, ""),
              "0 9 * * 1,4 '/usr/bin/trelmig' '" + kArgs + "' # trelmig job 7");
}

TEST(CronJobLine, ReadsBackWhatItWrites) {
    AtInfo odd = record(60000 * 61, 2);
    odd.command = "\"/opt/my 'trel'/trelmig\" sf=A 'b' \"c\" $d 5%xm=10000000ps=\\%x%bf=/t/50%.kvx";
    for (const AtInfo& info : {record(32400000, 9), record(84600000, 127), record(0, 0),
                               record(60000, 64), record(32400000, 127, 1, 1u | (1u << 30)),
                               record(32400000, 0, 1, 1u << 4), record(32400000, 1, 0), odd}) {
        for (const fs::path& prefix :
             {fs::path("/home/sam/.wine"), fs::path("/a b/'c'/50%"), fs::path()}) {
            const std::string line = CronJobLine(info, 12, prefix);
            const auto job = ParseCronJobLine(line);
            ASSERT_TRUE(job) << line;
            EXPECT_EQ(job->number, 12);
            EXPECT_EQ(job->info, info) << line;
            EXPECT_EQ(job->winePrefix, prefix) << line;
            EXPECT_EQ(job->passwordFile, fs::path()) << line;
            const std::string withFile =
                CronJobLine(info, 12, prefix, "/home/s a/.config/trelmig/jobs/job-1.password");
            const auto jobWithFile = ParseCronJobLine(withFile);
            ASSERT_TRUE(jobWithFile) << withFile;
            EXPECT_EQ(jobWithFile->info, info) << withFile;
            EXPECT_EQ(jobWithFile->passwordFile, "/home/s a/.config/trelmig/jobs/job-1.password");
            const bool once = !(info.flags & kJobRunPeriodically) ||
                              (info.daysOfWeek == 0 && info.daysOfMonth == 0);
            EXPECT_EQ(jobWithFile->keepsPasswordFile, once) << withFile;
        }
    }
}

TEST(CronJobLine, WordsReachTheProgramUnchangedThroughCronAndTheShell) {
    // The program prints its WINEPREFIX and its arguments, NUL-separated.
    WorkFolder dir;
    const fs::path folder = dir.path() / "my 'bin' $HOME 5%";
    fs::create_directories(folder);
    const fs::path program = folder / "print args";
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\0' \"${WINEPREFIX-unset}\" \"$@\"\n";
    fs::permissions(program, fs::perms::owner_all);

    const std::string args = "sf=My \"Pro'file\" $HOME `id` 50% \\%PATH%xm=11111111"
                             "ps=p a$$ 'w' \"d\" %x% \\\\%bf=C:\\%USERPROFILE%\\b k.kvx";
    const std::string prefix = "/tmp/a b/'q'/$HOME/50%/\\%x";
    const AtInfo weekly{32400000, 0, 1, kJobRunPeriodically,
                        "\"" + program.string() + "\" " + args};
    EXPECT_EQ(runShell(CronCommand(CronJobLine(weekly, 1, prefix))),
              (std::vector<std::string>{prefix, args}));

    AtInfo once = weekly;
    once.daysOfWeek = 0;
    EXPECT_EQ(runShell(CronCommand(CronJobLine(once, 2, prefix))),
              (std::vector<std::string>{"unset", "--remove-job", "2", prefix, args}));
    const std::string file = "/h/50% 'x'/once-1.password";
    EXPECT_EQ(runShell(CronCommand(CronJobLine(once, 3, prefix, file))),
              (std::vector<std::string>{"unset", "--remove-job", "3", "--keep-password-file",
                                        prefix, "--password-file", file, args}));
}

// Options around the command: the machine before it, the versions after it;
// they read back and reach the program as words of their own.
TEST(CronJobLine, JobOptionsGoAroundTheCommandAndReadBack) {
    WorkFolder dir;
    const fs::path program = dir.path() / "print args";
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\0' \"$@\"\n";
    fs::permissions(program, fs::perms::owner_all);
    const JobArguments arguments{{"--windows-user", "/media/sam/OS 50%/Users/Sam 'S'",
                                  "--windows-root", "/media/sam/OS 50%"},
                                 {"--keep-last", "3", "--keep-daily", "7"}};
    const AtInfo weekly{32400000, 0, 1, kJobRunPeriodically,
                        "\"" + program.string() + "\" " + kArgs};
    const std::string passwordFile = "/h/p 1";
    for (const fs::path& file : {fs::path(), fs::path(passwordFile)}) {
        const std::string line = CronJobLine(weekly, 4, {}, file, arguments);
        const auto job = ParseCronJobLine(line);
        ASSERT_TRUE(job) << line;
        EXPECT_EQ(job->info, weekly) << line;
        EXPECT_EQ(job->arguments, arguments) << line;
        EXPECT_EQ(job->passwordFile, file) << line;
        std::vector<std::string> words;
        if (!file.empty())
            words = {"--password-file", passwordFile};
        words.insert(words.end(), arguments.machine.begin(), arguments.machine.end());
        words.push_back(kArgs);
        words.insert(words.end(), arguments.run.begin(), arguments.run.end());
        EXPECT_EQ(runShell(CronCommand(line)), words) << line;
    }
    // Lines written before there were options read as they always did.
    const auto plain = ParseCronJobLine(CronJobLine(weekly, 5, "/p", passwordFile));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->arguments, JobArguments{});
    EXPECT_EQ(plain->info, weekly);

    // A word added by hand that is no option pair leaves the job without a command.
    const std::string edited = CronJobLine(weekly, 6, "/p", {}, {{}, {"--keep-last", "3"}});
    const auto stray =
        ParseCronJobLine(edited.substr(0, edited.find(" # trelmig")) + " 'stray' # trelmig job 6");
    ASSERT_TRUE(stray);
    EXPECT_EQ(stray->info.command, "");
    // Options that are not pairs of an option and a value are never written.
    for (const JobArguments& bad :
         {JobArguments{{}, {"--keep-last"}}, JobArguments{{"windows-user", "/x"}, {}},
          JobArguments{{}, {"--keep-last", "3\n* * * * * rm -rf ~"}}})
        EXPECT_THROW(CronJobLine(weekly, 7, {}, {}, bad), CrontabError);
}

TEST(CronJobLine, OtherLinesAreNoJobs) {
    for (const std::string& line : std::vector<std::string>{
             "", "# a comment", "MAILTO=\"\"", "0 1 * * * echo hi", "0 1 * * * echo # trelmig job",
             "# 0 9 * * 1 '/usr/bin/trelmig' '" + kArgs + "' # trelmig job 4"})
        EXPECT_FALSE(ParseCronJobLine(line)) << line;
    // A job line commented out still holds its number.
    EXPECT_EQ(CronJobNumber("#0 9 * * 1 'x' 'y' # trelmig job 4"), 4);
    EXPECT_FALSE(CronJobNumber("0 9 * * 1 'x' 'y # trelmig job 4'"));

    // Edited by hand beyond reading: still a job, with its time, but no command.
    const auto edited = ParseCronJobLine("5 7 * * 2 /usr/bin/trelmig sf=$P # trelmig job 9");
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->number, 9);
    EXPECT_EQ(edited->info.jobTime, (7u * 60 + 5) * 60000);
    EXPECT_EQ(edited->info.daysOfWeek, 2);
    EXPECT_EQ(edited->info.command, "");
    // The prefix assigned twice: the second is no program to run.
    const auto twice = ParseCronJobLine(
        "30 23 * * 1 WINEPREFIX= WINEPREFIX='/home/sam/.wine' 'sf=Outlook' # trelmig job 4");
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->info.command, "");
    // Times cron would not take are not ours to read.
    EXPECT_FALSE(ParseCronJobLine("*/5 9 * * 1 'x' 'y' # trelmig job 3"));
    EXPECT_FALSE(ParseCronJobLine("0 24 * * 1 'x' 'y' # trelmig job 3"));
}

TEST(CronJobLine, NumbersAreReadWithinTheirBounds) {
    // Every number an int holds is a job number; one more is none.
    EXPECT_EQ(CronJobNumber("0 9 * * 1 'x' 'y' # trelmig job 1000000000"), 1000000000);
    EXPECT_EQ(CronJobNumber("0 9 * * 1 'x' 'y' # trelmig job 2147483647 \t"), 2147483647);
    EXPECT_FALSE(CronJobNumber("0 9 * * 1 'x' 'y' # trelmig job 2147483648"));
    EXPECT_FALSE(CronJobNumber("0 9 * * 1 'x' 'y' # trelmig job -4"));
    const auto big = ParseCronJobLine(CronJobLine(record(0, 1), 1500000000, "/p"));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->number, 1500000000);
    // Signed or overlong times are no times.
    for (const char* time : {"0 -1", "-0 9", "0 -2147483648", "0 +9", "0 99999999999"})
        EXPECT_FALSE(ParseCronJobLine(std::string(time) + " * * 1 'x' 'y' # trelmig job 3"))
            << time;
    EXPECT_FALSE(ParseCronJobLine("0 9 -1 * 1 'x' 'y' # trelmig job 3"));
    // Long runs of blanks are read in one pass.
    const std::string blanks(200000, ' ');
    EXPECT_FALSE(CronJobNumber(blanks + "x" + blanks));
    EXPECT_EQ(CronJobNumber("0 9 * * 1 'x' 'y'" + blanks + "# trelmig job 5" + blanks), 5);
    EXPECT_FALSE(ParseCronJobLine(blanks + "0" + blanks + "9" + blanks));
}

TEST(CronJobLine, RecordsNoLineCanCarryAreRefused) {
    EXPECT_THROW(CronJobLine(record(86400000, 1), 1, "/p"), CrontabError);
    AtInfo bare = record(0, 1);
    bare.command = "/usr/bin/trelmig " + kArgs;
    EXPECT_THROW(CronJobLine(bare, 1, "/p"), CrontabError);
    AtInfo broken = record(0, 1);
    broken.command += "\n* * * * * rm -rf ~";
    EXPECT_THROW(CronJobLine(broken, 1, "/p"), CrontabError);
    EXPECT_THROW(CronJobLine(record(0, 1), 1, "/p\n* * * * * x"), CrontabError);
    // cron takes commands of at most 998 characters.
    AtInfo longest = record(0, 1);
    const std::size_t room = 998 - CronJobLine(longest, 1, "/p").size() + 10; // "0 0 * * 1 "
    longest.command += std::string(room, 'x');
    EXPECT_NO_THROW(CronJobLine(longest, 1, "/p"));
    longest.command += "x";
    EXPECT_THROW(CronJobLine(longest, 1, "/p"), CrontabError);
}

TEST(Crontab, AUserWithoutTableHasAnEmptyOne) {
    FakeCrontab fake;
    EXPECT_EQ(fake.crontab().ReadTable(), "");
    EXPECT_TRUE(fake.crontab().Jobs().empty());
}

TEST(Crontab, JobsAreAddedAndRemovedLeavingEveryOtherLineAsItWas) {
    FakeCrontab fake;
    // Ends without a line break; holds a job line commented out (number 7).
    const std::string others = "MAILTO=\"\"\n# keep me\n0 1 * * * echo '50%' # trelmig job x\n"
                               "#0 9 * * 1 'x' 'y' # trelmig job 7";
    fake.SetTable(others);
    const Crontab crontab = fake.crontab();
    EXPECT_EQ(crontab.AddJob(record(32400000, 9), "/p"), 8);
    EXPECT_EQ(crontab.AddJob(record(32400000, 9), "/p"), 9);
    const std::string line8 = CronJobLine(record(32400000, 9), 8, "/p");
    const std::string line9 = CronJobLine(record(32400000, 9), 9, "/p");
    EXPECT_EQ(fake.Table(), others + "\n" + line8 + "\n" + line9 + "\n");

    const auto jobs = crontab.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].number, 8);
    EXPECT_EQ(jobs[1].number, 9);
    EXPECT_EQ(jobs[1].info, record(32400000, 9));

    EXPECT_TRUE(crontab.RemoveJob(8));
    EXPECT_EQ(fake.Table(), others + "\n" + line9 + "\n");
    const std::size_t writes = fake.Writes();
    EXPECT_FALSE(crontab.RemoveJob(8));
    EXPECT_FALSE(crontab.RemoveJob(7)); // commented out: not a job
    EXPECT_EQ(fake.Writes(), writes);
    EXPECT_TRUE(crontab.RemoveJob(9));
    EXPECT_EQ(fake.Table(), others + "\n");
    EXPECT_EQ(crontab.AddJob(record(0, 0), "/p"), 8);
}

TEST(Crontab, JobNumbersPastABillionAreListedAndRemoved) {
    FakeCrontab fake;
    fake.SetTable(CronJobLine(record(0, 1), 999999999, "/p") + "\n");
    const Crontab crontab = fake.crontab();
    EXPECT_EQ(crontab.AddJob(record(0, 1), "/p"), 1000000000);
    ASSERT_EQ(crontab.Jobs().size(), 2u);
    EXPECT_EQ(crontab.Jobs()[1].number, 1000000000);
    EXPECT_TRUE(crontab.RemoveJob(1000000000));
    EXPECT_EQ(crontab.Jobs().size(), 1u);

    // The highest number there can be takes no successor: a free one below.
    fake.SetTable(CronJobLine(record(0, 1), 2147483647, "/p") + "\n");
    EXPECT_EQ(crontab.AddJob(record(0, 1), "/p", {}, {1, 3}), 2);
    EXPECT_EQ(crontab.Jobs()[1].number, 2);
}

TEST(Crontab, FailuresOfTheProgramAreErrorsWithItsMessage) {
    FakeCrontab fake;
    fake.SetTable("# mine\n");
    fake.Fail("crontab: your UID isn't in the passwd file.\n");
    try {
        fake.crontab().AddJob(record(0, 1), "/p");
        ADD_FAILURE() << "no error";
    } catch (const CrontabError& e) {
        EXPECT_STREQ(e.what(), "crontab -l failed: crontab: your UID isn't in the passwd file.");
    }
    EXPECT_EQ(fake.Table(), "# mine\n");

    const Crontab missing({(fake.dir.path() / "none").string(), std::nullopt});
    EXPECT_THROW(missing.ReadTable(), CrontabError);
    EXPECT_THROW(missing.AddJob(record(0, 1), "/p"), CrontabError);

    // A program that refuses to install the table.
    FakeCrontab refusing;
    const fs::path script = refusing.dir.path() / "refusing";
    std::ofstream(script) << "#!/bin/sh\n[ \"$1\" = -l ] && exit 0\ncat >/dev/null\n"
                             "echo \"errors in crontab file, can't install.\" >&2\nexit 1\n";
    fs::permissions(script, fs::perms::owner_all);
    try {
        Crontab({script.string(), std::nullopt}).AddJob(record(0, 1), "/p");
        ADD_FAILURE() << "no error";
    } catch (const CrontabError& e) {
        EXPECT_STREQ(e.what(), "crontab could not install the new table: errors in crontab "
                               "file, can't install.");
    }
}

TEST(Crontab, AProgramThatReadsNothingDoesNotKillTheCaller) {
    WorkFolder dir;
    const fs::path script = dir.path() / "deaf";
    std::ofstream(script) << "#!/bin/sh\nexit 1\n";
    fs::permissions(script, fs::perms::owner_all);
    const std::string big(1 << 20, '#');
    EXPECT_THROW(Crontab({script.string(), std::nullopt}).WriteTable(big), CrontabError);
}

TEST(Crontab, ARecordNoLineCanCarryCallsNoProgram) {
    FakeCrontab fake;
    EXPECT_THROW(fake.crontab().AddJob(record(86400000, 1), "/p"), CrontabError);
    EXPECT_TRUE(fake.Calls().empty());
}

TEST(Crontab, TheUserIsNamedToTheProgram) {
    FakeCrontab fake;
    Crontab::Program program{fake.script.string(), std::string("sam")};
    Crontab(program).ReadTable();
    EXPECT_EQ(fake.Calls(), std::vector<std::string>{"-u sam -l"});
}
