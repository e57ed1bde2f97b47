#include "schedule/TaskScheduler.h"

#include "FakeCrontab.h"
#include "RecordingPrompter.h"
#include "platform/ScopedEnv.h"
#include "schedule/JobDescription.h"
#include "schedule/JobPasswordFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sys/stat.h>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

JobChoices choices() {
    return {"9:00", "M,TH", "Outlook", "10000001", "", "/home/sam/b.kvx"};
}

struct Scheduling : ::testing::Test {
    WorkFolder config;
    ScopedEnv configHome{"XDG_CONFIG_HOME", config.path().string()};
    FakeCrontab fake;
    TaskScheduler scheduler{fake.crontab(), "/usr/bin/trelmig", "/home/sam/.wine", std::nullopt,
                            [] { return true; }};
    RecordingPrompter prompter;

    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& m : prompter.messages)
            t.push_back(m.text);
        return t;
    }
};

} // namespace

TEST(JobChecks, TheFirstFailingCheckSpeaks) {
    struct Case {
        std::string mask, file;
        bool protect;
        std::string pw, retyped, message;
        MessageIcon icon;
    };
    for (const Case& c : std::vector<Case>{
             {"00000000", "", true, "", "x", "Please select at least one item.",
              MessageIcon::Exclamation},
             {"00100000", "", true, "", "", "Invalid backup file name.", MessageIcon::Exclamation},
             {"00100000", "/b", true, "", "", "Please enter Password!", MessageIcon::Critical},
             {"00100000", "/b", true, "abc", "", "Incorrect Password!", MessageIcon::Critical},
             {"00100000", "/b", true, "", "abc", "Incorrect Password!", MessageIcon::Critical},
             {"00100000", "/b", true, "abc", "ABC", "Incorrect Password!", MessageIcon::Critical},
         }) {
        RecordingPrompter prompter;
        EXPECT_FALSE(CheckJobChoices(c.mask, c.file, c.protect, c.pw, c.retyped, prompter));
        ASSERT_EQ(prompter.messages.size(), 1u) << c.message;
        EXPECT_EQ(prompter.messages[0].text, c.message);
        EXPECT_EQ(prompter.messages[0].icon, c.icon);
    }
    RecordingPrompter quiet;
    EXPECT_TRUE(CheckJobChoices("00000001", "/b", true, "abc", "abc", quiet));
    // Without protection the password boxes are not looked at.
    EXPECT_TRUE(CheckJobChoices("00000001", "/b", false, "", "x", quiet));
    EXPECT_TRUE(quiet.messages.empty());
}

TEST_F(Scheduling, ARegistrationAddsAJobAndConfirmsIt) {
    const Registration first = RegisterJob(choices(), scheduler, prompter);
    EXPECT_EQ(first.result, RegisterResult::Registered);
    EXPECT_EQ(first.jobNumber, 1);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Task 1 has been scheduled.");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(fake.Table(), "0 9 * * 1,4 WINEPREFIX='/home/sam/.wine' '/usr/bin/trelmig' "
                            "'sf=Outlookxm=10000001ps=bf=/home/sam/b.kvx' # trelmig job 1\n");
    // The same choices again give a second job.
    EXPECT_EQ(RegisterJob(choices(), scheduler, prompter).jobNumber, 2);
    EXPECT_EQ(texts().back(), "Task 2 has been scheduled.");
    EXPECT_EQ(ListJobs(scheduler.crontab).size(), 2u);
}

// A job that keeps versions passes its policy after its command line, one of
// a Windows user folder names the folder instead of a prefix; the listing
// shows both, and a job without either lists as it always did.
TEST_F(Scheduling, VersionsAndAWindowsUserFolderTravelWithTheJob) {
    JobChoices versions = choices();
    versions.keep = KeepPolicy{2, 7, 0, 12};
    RegisterJob(versions, scheduler, prompter);
    TaskScheduler fromWindows = scheduler;
    fromWindows.windowsUser = "/media/sam/OS/Users/Sam";
    fromWindows.windowsRoot = "/media/sam/OS";
    RegisterJob(choices(), fromWindows, prompter);
    RegisterJob(choices(), scheduler, prompter);
    EXPECT_EQ(texts().back(), "Task 3 has been scheduled.");
    EXPECT_EQ(fake.Table(),
              "0 9 * * 1,4 WINEPREFIX='/home/sam/.wine' '/usr/bin/trelmig' "
              "'sf=Outlookxm=10000001ps=bf=/home/sam/b.kvx' '--keep-last' '2' '--keep-daily' '7' "
              "'--keep-weekly' '0' '--keep-monthly' '12' # trelmig job 1\n"
              "0 9 * * 1,4 '/usr/bin/trelmig' '--windows-user' '/media/sam/OS/Users/Sam' "
              "'--windows-root' '/media/sam/OS' 'sf=Outlookxm=10000001ps=bf=/home/sam/b.kvx' "
              "# trelmig job 2\n"
              "0 9 * * 1,4 WINEPREFIX='/home/sam/.wine' '/usr/bin/trelmig' "
              "'sf=Outlookxm=10000001ps=bf=/home/sam/b.kvx' # trelmig job 3\n");

    const auto jobs = ListJobs(scheduler.crontab);
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[0].keep, (KeepPolicy{2, 7, 0, 12}));
    EXPECT_EQ(jobs[0].targetFile, "/home/sam/b.kvx");
    EXPECT_EQ(jobs[1].keep, std::nullopt);
    EXPECT_EQ(jobs[1].windowsUser, "/media/sam/OS/Users/Sam");
    EXPECT_EQ(jobs[1].winePrefix, "");
    EXPECT_EQ(jobs[1].problem, "");
    EXPECT_EQ(jobs[2].keep, std::nullopt);
    EXPECT_EQ(jobs[2].windowsUser, "");
    EXPECT_EQ(jobs[2].winePrefix, "/home/sam/.wine");
}

TEST_F(Scheduling, WhatNoJobCouldCarryIsRefusedBeforeTheCrontabIsTouched) {
    JobChoices badTime = choices();
    badTime.startTime = "25:00";
    EXPECT_EQ(RegisterJob(badTime, scheduler, prompter).result, RegisterResult::Refused);
    EXPECT_EQ(texts().back(), "\"25:00\" is not a time of day. Enter the start time as hours "
                              "and minutes, for example 9:00 or 23:30.");
    EXPECT_EQ(prompter.messages.back().icon, MessageIcon::Exclamation);

    JobChoices equals = choices();
    equals.password = "a=b";
    EXPECT_EQ(RegisterJob(equals, scheduler, prompter).result, RegisterResult::Refused);
    EXPECT_EQ(texts().back(),
              "The password of a scheduled backup cannot contain \"=\" or a line break.");
    JobChoices lineBreak = choices();
    lineBreak.targetFile = "/b\n* * * * * rm -rf ~";
    EXPECT_EQ(RegisterJob(lineBreak, scheduler, prompter).result, RegisterResult::Refused);
    EXPECT_TRUE(fake.Calls().empty());
}

TEST_F(Scheduling, ACrontabThatFailsIsReportedNotConfirmed) {
    fake.Fail("crontab: your UID isn't in the passwd file.\n");
    EXPECT_EQ(RegisterJob(choices(), scheduler, prompter).result, RegisterResult::Failed);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "The task could not be scheduled: crontab -l failed: "
                                         "crontab: your UID isn't in the passwd file.");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);

    const TaskScheduler missing{Crontab({"/nonexistent/crontab", std::nullopt}), "/t", "/p"};
    EXPECT_EQ(RegisterJob(choices(), missing, prompter).result, RegisterResult::Failed);
    EXPECT_EQ(texts().back(), "The task could not be scheduled: cannot run /nonexistent/crontab: "
                              "No such file or directory");
}

TEST_F(Scheduling, TheListingShowsEverythingButThePassword) {
    JobChoices secret = choices();
    secret.password = "Top$ecret";
    secret.dayList = "";
    secret.startTime = "7:05";
    RegisterJob(secret, scheduler, prompter);
    JobChoices daily = choices();
    daily.dayList = "M,T,W,TH,F,S,SU";
    daily.profileName = "";
    RegisterJob(daily, scheduler, prompter);
    fake.SetTable(fake.Table() + "0 8 * * 3 /usr/bin/trelmig $CMD # trelmig job 5\n");

    const auto jobs = ListJobs(scheduler.crontab);
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[0].number, 1);
    EXPECT_EQ(jobs[0].time, "7:05");
    EXPECT_EQ(jobs[0].days, "once");
    EXPECT_EQ(jobs[0].profile, "Outlook");
    EXPECT_EQ(jobs[0].items, "10000001");
    EXPECT_EQ(jobs[0].targetFile, "/home/sam/b.kvx");
    EXPECT_EQ(jobs[0].winePrefix, "/home/sam/.wine");
    EXPECT_EQ(jobs[0].problem, "");
    // A job with an empty profile is listed with what its run will say.
    EXPECT_EQ(jobs[1].days, "every day");
    EXPECT_NE(jobs[1].problem.find("the backup will refuse this job"), std::string::npos);
    EXPECT_EQ(jobs[2].number, 5);
    EXPECT_EQ(jobs[2].time, "8:00");
    EXPECT_EQ(jobs[2].days, "W");
    EXPECT_EQ(jobs[2].problem, "the crontab line was changed by hand and cannot be read");
    for (const JobListing& j : jobs)
        for (const std::string& field :
             {j.time, j.days, j.profile, j.items, j.targetFile, j.winePrefix, j.problem})
            EXPECT_EQ(field.find("Top$ecret"), std::string::npos) << field;
}

// A line numbered by hand with the highest number a job line carries leaves
// no number above it: the new job, a crontab line or a timer, takes a free
// one below, which the listing shows and the removal finds.
TEST_F(Scheduling, EveryJobNumberGivenCanBeListedAndRemoved) {
    fake.SetTable("0 8 * * 3 /usr/bin/trelmig $CMD # trelmig job 2147483647\n");
    const fs::path systemctl = config.path() / "systemctl";
    std::ofstream(systemctl) << "#!/bin/sh\ncase \"$2\" in is-active) echo active;; esac\n";
    fs::permissions(systemctl, fs::perms::owner_all);
    TaskScheduler withTimers = scheduler;
    withTimers.timers = UserTimers({systemctl.string(), config.path() / "units"});
    for (const TaskScheduler* where : {&scheduler, &withTimers}) {
        const Registration r = RegisterJob(choices(), *where, prompter);
        EXPECT_EQ(r.jobNumber, 1) << texts().back();
        const auto jobs = ListJobs(*where);
        EXPECT_EQ(std::ranges::count(jobs, r.jobNumber, &JobListing::number), 1);
        EXPECT_TRUE(UnscheduleJob(*where, r.jobNumber));
    }
}

TEST_F(Scheduling, APasswordIsKeptInAFileOnlyTheUserReadsNeverOnTheLine) {
    JobChoices weekly = choices();
    weekly.password = "Top$ecret pass";
    ASSERT_EQ(RegisterJob(weekly, scheduler, prompter).result, RegisterResult::Registered);
    JobChoices once = weekly;
    once.dayList = "";
    ASSERT_EQ(RegisterJob(once, scheduler, prompter).result, RegisterResult::Registered);
    EXPECT_EQ(fake.Table().find("Top$ecret"), std::string::npos) << fake.Table();

    const auto jobs = scheduler.crontab.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    for (const CronJob& job : jobs) {
        EXPECT_NE(job.info.command.find("ps=bf="), std::string::npos) << job.info.command;
        EXPECT_EQ(job.passwordFile.parent_path(), config.path() / "trelmig" / "jobs");
        EXPECT_EQ(ReadPasswordFile(job.passwordFile), "Top$ecret pass");
        struct stat st {};
        ASSERT_EQ(::stat(job.passwordFile.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        ASSERT_EQ(::stat(job.passwordFile.parent_path().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    EXPECT_FALSE(IsOnceJobPasswordFile(jobs[0].passwordFile));
    EXPECT_FALSE(jobs[0].keepsPasswordFile);
    // The job that runs once removes its line and leaves the file to its run.
    EXPECT_TRUE(IsOnceJobPasswordFile(jobs[1].passwordFile));
    EXPECT_TRUE(jobs[1].keepsPasswordFile);

    // Removing a job removes its password file.
    EXPECT_TRUE(UnscheduleJob(scheduler.crontab, jobs[0].number));
    EXPECT_FALSE(std::filesystem::exists(jobs[0].passwordFile));
    EXPECT_TRUE(UnscheduleJob(scheduler.crontab, jobs[1].number, true));
    EXPECT_TRUE(std::filesystem::exists(jobs[1].passwordFile));
    EXPECT_FALSE(UnscheduleJob(scheduler.crontab, jobs[1].number));

    // A file a line edited by hand names is not ours to remove.
    const std::filesystem::path precious = config.path() / "precious";
    std::ofstream(precious) << "x";
    fake.SetTable(CronJobLine(jobs[0].info, 7, "/p", precious) + "\n");
    EXPECT_TRUE(UnscheduleJob(scheduler.crontab, 7));
    EXPECT_TRUE(std::filesystem::exists(precious));
}

TEST_F(Scheduling, AFailedRegistrationLeavesNoPasswordFile) {
    JobChoices secret = choices();
    secret.password = "pw";
    const TaskScheduler missing{Crontab({"/nonexistent/crontab", std::nullopt}), "/t", "/p"};
    EXPECT_EQ(RegisterJob(secret, missing, prompter).result, RegisterResult::Failed);
    const auto folder = config.path() / "trelmig" / "jobs";
    EXPECT_TRUE(!std::filesystem::exists(folder) || std::filesystem::is_empty(folder));
}

// Scheduled means it will run: a crontab line with no cron daemon says so.
TEST_F(Scheduling, WithoutACronDaemonTheJobIsNotCalledScheduled) {
    scheduler.cronDaemonRuns = [] { return false; };
    const Registration r = RegisterJob(choices(), scheduler, prompter);
    EXPECT_EQ(r.result, RegisterResult::NotRunning);
    EXPECT_EQ(r.jobNumber, 1);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(prompter.messages[0].text.starts_with(
        "Task 1 was added to your crontab, but it will not run: no cron daemon runs"))
        << prompter.messages[0].text;
    EXPECT_NE(prompter.messages[0].text.find("systemctl enable --now cron"), std::string::npos);
}

// A timer that does not become active is no job: its units go again, and the
// numbers of the crontab's jobs are not taken twice.
TEST_F(Scheduling, ATimerThatDidNotStartIsReportedAndLeavesNoUnit) {
    fake.SetTable("0 9 * * 1 '/usr/bin/trelmig' 'sf=Outlookxm=10000001ps=bf=/b' # trelmig job 4\n");
    const fs::path systemctl = config.path() / "systemctl";
    std::ofstream(systemctl) << "#!/bin/sh\necho \"$*\" >> '" << (config.path() / "calls").string()
                             << "'\ncase \"$2\" in is-active) echo failed; exit 3;; esac\n";
    fs::permissions(systemctl, fs::perms::owner_all);
    scheduler.timers = UserTimers({systemctl.string(), config.path() / "units"});

    const Registration r = RegisterJob(choices(), scheduler, prompter);
    EXPECT_EQ(r.result, RegisterResult::Failed);
    EXPECT_EQ(
        prompter.messages.back().text,
        "The task could not be scheduled: the timer trelmig-backup-5.timer is failed after it "
        "was started");
    EXPECT_TRUE(fs::is_empty(config.path() / "units"));
    std::ifstream calls(config.path() / "calls");
    std::string all((std::istreambuf_iterator<char>(calls)), {});
    EXPECT_NE(all.find("--user enable --now trelmig-backup-5.timer"), std::string::npos) << all;
    EXPECT_NE(all.find("--user disable --now trelmig-backup-5.timer"), std::string::npos) << all;
}

// A job backing up into a repository carries the repository after its
// command line, before its versions, keeps "bf=" empty and its passphrase
// in the user's password file; the listing gives the repository back as the
// job's target, and the description names it where a file's job names its file.
TEST_F(Scheduling, ARepositoryJobCarriesItsRepositoryThroughTheJobList) {
    JobChoices toRepository = choices();
    toRepository.targetFile.clear();
    toRepository.repository = "ssh://sam@backup.example:2222/srv/borg/outlook";
    toRepository.password = "long passphrase";
    toRepository.keep = KeepPolicy{3, 7, 4, 6};
    ASSERT_EQ(RegisterJob(toRepository, scheduler, prompter).result, RegisterResult::Registered);
    RegisterJob(choices(), scheduler, prompter);
    const std::string table = fake.Table();
    EXPECT_NE(table.find("'sf=Outlookxm=10000001ps=bf=' '--repository' "
                         "'ssh://sam@backup.example:2222/srv/borg/outlook' '--keep-last' '3'"),
              std::string::npos)
        << table;
    EXPECT_EQ(table.find("long passphrase"), std::string::npos);

    const auto jobs = ListJobs(scheduler.crontab);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].problem, "");
    EXPECT_EQ(jobs[0].repository, toRepository.repository);
    EXPECT_EQ(jobs[0].targetFile, "");
    EXPECT_EQ(jobs[0].profile, "Outlook");
    EXPECT_EQ(jobs[0].keep, (KeepPolicy{3, 7, 4, 6}));
    EXPECT_EQ(ReadPasswordFile(scheduler.crontab.Jobs()[0].passwordFile), "long passphrase");
    EXPECT_EQ(jobs[1].repository, "");
    EXPECT_EQ(jobs[1].targetFile, "/home/sam/b.kvx");

    const JobDescription described = DescribeJob(jobs[0], {}, std::tm{});
    const auto target =
        std::find_if(described.facts.begin(), described.facts.end(),
                     [](const JobFact& f) { return f.label == MessageId::JobRepository; });
    ASSERT_NE(target, described.facts.end());
    EXPECT_EQ(JobValueText(target->value), toRepository.repository);
    EXPECT_TRUE(std::none_of(described.facts.begin(), described.facts.end(),
                             [](const JobFact& f) { return f.label == MessageId::JobFile; }));
}
