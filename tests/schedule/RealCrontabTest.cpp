// The jobs in a real crontab, written and read by the real crontab program,
// for a throwaway account these tests create (root only): the crontab of the
// account running the tests is never touched.
#include "schedule/TaskScheduler.h"

#include "CronShell.h"
#include "RecordingPrompter.h"
#include "SamplePrefixCopy.h"
#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "platform/ScopedEnv.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

#include "RunShell.h"

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
};

ProgramRun shell(const std::string& command) {
    const CommandRun r = RunShell(command);
    return {r.status, r.output};
}

// Runs a crontab line's command as cron does: "sh -c" with cron's small
// environment, as the given user or as this process.
ProgramRun runAsCron(const std::string& line, const std::string& user = "") {
    const std::string env = "env -i HOME=/ LOGNAME=cron PATH=/usr/bin:/bin SHELL=/bin/sh";
    return shell((user.empty() ? "" : "runuser -u " + user + " -- ") + env + " /bin/sh -c " +
                 ShellQuoted(CronCommand(line)));
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct RealCrontab : ::testing::Test {
    static inline std::string user;
    static inline std::string whyNot;

    static void SetUpTestSuite() {
        if (geteuid() != 0)
            whyNot = "the real crontab is tested for a throwaway account, which needs root";
        else if (shell("command -v crontab").status != 0)
            whyNot = "the crontab program is not installed (package cron)";
        else if (shell("command -v useradd && command -v userdel && command -v runuser").status)
            whyNot = "useradd, userdel or runuser is missing";
        if (!whyNot.empty())
            return;
        user = "trelmig-ct" + std::to_string(getpid());
        const ProgramRun made = shell("useradd -M -r -s /usr/sbin/nologin " + user);
        if (made.status != 0) {
            whyNot = "cannot create a throwaway account: " + made.out;
            user.clear();
        }
    }
    static void TearDownTestSuite() {
        if (user.empty())
            return;
        shell("crontab -u " + user + " -r");
        shell("userdel " + user);
        user.clear();
    }

    SamplePrefixCopy sample;
    RecordingPrompter prompter;
    // Password files of the jobs go to the test's folder, not the caller's home.
    ScopedEnv configHome{"XDG_CONFIG_HOME", (sample.work.path() / "config").string()};

    void SetUp() override {
        if (!whyNot.empty())
            GTEST_SKIP() << whyNot;
        shell("crontab -u " + user + " -r");
    }

    TaskScheduler scheduler() const {
        return {Crontab({"crontab", user}), TRELMIG_BINARY, sample.root, std::nullopt,
                [] { return true; }};
    }
    std::string table() const { return shell("crontab -u " + user + " -l").out; }
    void install(const std::string& text) const {
        const fs::path file = sample.work.path() / "table";
        std::ofstream(file) << text;
        ASSERT_EQ(shell("crontab -u " + user + " " + ShellQuoted(file.string())).status, 0);
    }
    // Lets the throwaway account read the prefix and write into target folders.
    void openToTheAccount() const {
        fs::permissions(sample.work.path(), fs::perms::owner_all | fs::perms::group_read |
                                                fs::perms::group_exec | fs::perms::others_read |
                                                fs::perms::others_exec);
    }
    bool accountCanRunTheProgram() const {
        return shell("runuser -u " + user + " -- test -x " + ShellQuoted(TRELMIG_BINARY)).status ==
               0;
    }
    fs::path writableFolder(const std::string& name) const {
        const fs::path folder = sample.work.path() / name;
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::all);
        return folder;
    }
};

JobChoices choices(const std::string& days, const std::string& target) {
    return {"9:00", days, "Outlook", "10000000", "", target};
}

} // namespace

TEST_F(RealCrontab, TwoJobsAreListedAndOneRemovedWithTheOtherLinesUntouched) {
    const std::string own = "# the account's own lines\nMAILTO=\"\"\n"
                            "*/10 * * * * echo '50%' >/dev/null # not ours\n";
    install(own);
    const TaskScheduler s = scheduler();
    EXPECT_EQ(RegisterJob(choices("M,TH", "/srv/a.kvx"), s, prompter).jobNumber, 1);
    EXPECT_EQ(RegisterJob(choices("F", "/srv/b.kvx"), s, prompter).jobNumber, 2);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text, "Task 2 has been scheduled.");

    const std::string both = table();
    ASSERT_TRUE(both.starts_with(own)) << both;
    const auto added = linesOf(both.substr(own.size()));
    ASSERT_EQ(added.size(), 2u) << both;
    EXPECT_TRUE(added[0].starts_with("0 9 * * 1,4 ") && added[0].ends_with("# trelmig job 1"));
    EXPECT_TRUE(added[1].starts_with("0 9 * * 5 ") && added[1].ends_with("# trelmig job 2"));

    const auto jobs = ListJobs(s.crontab);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].days, "M,TH");
    EXPECT_EQ(jobs[1].targetFile, "/srv/b.kvx");
    EXPECT_EQ(jobs[1].winePrefix, sample.root.string());

    EXPECT_TRUE(s.crontab.RemoveJob(1));
    EXPECT_EQ(table(), own + added[1] + "\n");
    EXPECT_FALSE(s.crontab.RemoveJob(1));
}

TEST_F(RealCrontab, BlanksQuotesAndDollarsReachTheUnattendedRunUnchanged) {
    // A profile whose name holds everything a shell or cron would take apart.
    const std::string profile = "My \"Pro'file\" $HOME `id` 50%";
    std::string reg = readWholeFile(sample.root / "user.reg");
    const std::string from = "\\\\Profiles\\\\Work\\\\";
    for (auto pos = reg.find(from); pos != std::string::npos; pos = reg.find(from, pos))
        reg.replace(pos, from.size(), "\\\\Profiles\\\\" + profile + "\\\\");
    std::ofstream(sample.root / "user.reg", std::ios::binary) << reg;

    const fs::path target = writableFolder("back $up 'x' 5%") / "my backup.kvx";
    const std::string password = "p a$$ \"w'd\" %x% \\%y `id`";
    JobChoices c = choices("M", target.string());
    c.profileName = profile;
    c.password = password;
    ASSERT_EQ(RegisterJob(c, scheduler(), prompter).result, RegisterResult::Registered)
        << prompter.messages.back().text;

    const std::string line = linesOf(table()).back();
    const ProgramRun run = runAsCron(line);
    EXPECT_EQ(run.status, 0) << line << "\n" << run.out;
    ASSERT_TRUE(fs::exists(target)) << line << "\n" << run.out;

    ZipArchive zip(AnsiCodec(1252));
    EXPECT_EQ(ZipArchive::IsPasswordProtected(target.string()), true);
    ASSERT_TRUE(zip.OpenZip(target.string()));
    zip.SetDecryptPassword(password + "x");
    EXPECT_FALSE(zip.CheckPassword());
    zip.SetDecryptPassword(password);
    ASSERT_TRUE(zip.CheckPassword());
    const fs::path info = sample.work.path() / "vastrel.dat";
    const Result<void> extracted = zip.ExtractEntryTo("vastrel.dat", info.string());
    ASSERT_TRUE(extracted) << extracted.error().message;
    EXPECT_NE(readWholeFile(info).find("BackupIdentity=" + profile + "\r\n"), std::string::npos)
        << readWholeFile(info);
}

TEST_F(RealCrontab, AJobWithoutDaysRunsOnceAndTakesItsLineAway) {
    if (!accountCanRunTheProgram())
        GTEST_SKIP() << "the throwaway account cannot run " << TRELMIG_BINARY;
    openToTheAccount();
    install("MAILTO=\"\"\n");
    const fs::path target = writableFolder("out") / "once.kvx";
    ASSERT_EQ(RegisterJob(choices("", target.string()), scheduler(), prompter).jobNumber, 1);
    const std::string line = linesOf(table()).back();
    ASSERT_NE(line.find("--remove-job 1 &&"), std::string::npos) << line;

    const ProgramRun run = runAsCron(line, user);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(table(), "MAILTO=\"\"\n");
}

TEST_F(RealCrontab, AdministratorsScheduleListAndRemoveFromTheCommandLine) {
    if (!accountCanRunTheProgram())
        GTEST_SKIP() << "the throwaway account cannot run " << TRELMIG_BINARY;
    openToTheAccount();
    const std::string target = (writableFolder("out") / "cli.kvx").string();
    const std::string program = "runuser -u " + user + " -- " + ShellQuoted(TRELMIG_BINARY) + " ";
    const ProgramRun made =
        shell(program + "--prefix " + ShellQuoted(sample.root.string()) + " --schedule " +
              ShellQuoted("sf=Outlookxm=10000001ps=bf=" + target) + " --at 7:45 --days M,w");
    // Scheduled means it will run: only a cron daemon runs a crontab line.
    if (CronDaemonRuns()) {
        EXPECT_EQ(made.status, 0) << made.out;
        EXPECT_EQ(made.out, "Task 1 has been scheduled.\n");
    } else {
        EXPECT_EQ(made.status, 1) << made.out;
        EXPECT_TRUE(
            made.out.starts_with("trelmig: Task 1 was added to your crontab, but it will not run: "
                                 "no cron daemon runs on this machine"))
            << made.out;
    }
    // The job starts this very program.
    EXPECT_NE(table().find(ShellQuoted(fs::canonical(TRELMIG_BINARY).string())), std::string::npos)
        << table();

    const ProgramRun listed = shell(program + "--list-jobs");
    EXPECT_EQ(listed.status, 0);
    EXPECT_TRUE(listed.out.starts_with("Task 1 (crontab): 7:45, M,W\n"
                                       "  profile:  Outlook\n"
                                       "  items:    Personal Folders, Preferences\n"
                                       "  file:     " +
                                       target + "\n  prefix:   " + sample.root.string() +
                                       "\n  versions: none, the file is replaced\n  next run: "))
        << listed.out;
    EXPECT_TRUE(listed.out.ends_with("  last run: none yet\n")) << listed.out;

    // A job that keeps versions says so.
    const ProgramRun versions =
        shell(program + "--prefix " + ShellQuoted(sample.root.string()) + " --schedule " +
              ShellQuoted("sf=Outlookxm=10000001ps=bf=" + target) + " --at 7:45 --keep-last 2");
    EXPECT_NE(versions.out.find("Task 2 "), std::string::npos) << versions.out;
    EXPECT_NE(shell(program + "--list-jobs")
                  .out.find("  versions: kept (last 2, daily 7, weekly 4, monthly 6)\n"),
              std::string::npos);
    EXPECT_EQ(shell(program + "--remove-job 2").status, 0);

    const ProgramRun unknown =
        shell(program + "--prefix " + ShellQuoted(sample.root.string()) + " --schedule " +
              ShellQuoted("sf=Nobodyxm=10000001ps=bf=" + target) + " --at 7:45");
    EXPECT_EQ(unknown.status, 2);
    const ProgramRun badTime =
        shell(program + "--prefix " + ShellQuoted(sample.root.string()) + " --schedule " +
              ShellQuoted("sf=Outlookxm=10000001ps=bf=" + target) + " --at 7.45");
    EXPECT_EQ(badTime.status, 2);
    EXPECT_NE(badTime.out.find("\"7.45\" is not a time of day"), std::string::npos);

    EXPECT_EQ(shell(program + "--remove-job 1").status, 0);
    EXPECT_EQ(shell(program + "--list-jobs").out, "No task is scheduled.\n");
    const ProgramRun gone = shell(program + "--remove-job 1");
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.out, "trelmig: there is no task 1\n");
}

TEST_F(RealCrontab, TheLongestCommandCronTakesIsTheLongestWeWrite) {
    const TaskScheduler s = scheduler();
    ASSERT_EQ(RegisterJob(choices("M", "/b"), s, prompter).jobNumber, 1);
    const std::string prefix = "0 9 * * 1 ";
    const std::size_t room = 998 - (linesOf(table()).back().size() - prefix.size());
    ASSERT_TRUE(s.crontab.RemoveJob(1));

    const std::string longest = "/b" + std::string(room, 'x');
    EXPECT_EQ(RegisterJob(choices("M", longest), s, prompter).result, RegisterResult::Registered)
        << prompter.messages.back().text;
    EXPECT_EQ(linesOf(table()).back().size(), prefix.size() + 998);
    EXPECT_EQ(RegisterJob(choices("M", longest + "x"), s, prompter).result, RegisterResult::Failed);
    EXPECT_NE(prompter.messages.back().text.find("cron takes at most 998"), std::string::npos);
    // The same line written around our check is refused by cron itself.
    const fs::path file = sample.work.path() / "too-long";
    std::ofstream(file) << table() << prefix << "echo " << std::string(994, 'x') << "\n";
    EXPECT_NE(shell("crontab -u " + user + " " + ShellQuoted(file.string())).status, 0);
}

// The real crontab program takes a job that keeps versions and gives it back
// the same; jobs written before options existed read as before beside it.
TEST_F(RealCrontab, AJobThatKeepsVersionsComesBackFromTheRealCrontab) {
    install("MAILTO=\"\"\n");
    JobChoices versions = choices("M,F", "/backups/my pc.kvx");
    versions.keep = KeepPolicy{3, 7, 4, 6};
    TaskScheduler fromWindows = scheduler();
    fromWindows.windowsUser = "/media/sam/OS disk/Users/Sam";
    ASSERT_EQ(RegisterJob(versions, fromWindows, prompter).result, RegisterResult::Registered);
    ASSERT_EQ(RegisterJob(choices("M", "/backups/plain.kvx"), scheduler(), prompter).result,
              RegisterResult::Registered);
    const auto lines = linesOf(table());
    ASSERT_EQ(lines.size(), 3u) << table();
    EXPECT_NE(lines[1].find("'--windows-user' '/media/sam/OS disk/Users/Sam' "
                            "'sf=Outlookxm=10000000ps=bf=/backups/my pc.kvx' '--keep-last' '3'"),
              std::string::npos)
        << lines[1];

    const auto jobs = ListJobs(Crontab({"crontab", user}));
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].keep, versions.keep);
    EXPECT_EQ(jobs[0].windowsUser, "/media/sam/OS disk/Users/Sam");
    EXPECT_EQ(jobs[0].targetFile, "/backups/my pc.kvx");
    EXPECT_EQ(jobs[0].problem, "");
    EXPECT_EQ(jobs[1].keep, std::nullopt);
    EXPECT_EQ(jobs[1].winePrefix, sample.root.string());
}
