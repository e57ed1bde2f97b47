// A backup scheduled while a Windows user folder is open: the job names the
// folder, not a prefix, and runs as cron starts it, keeping versions.
#include "schedule/TaskScheduler.h"

#include "CronShell.h"
#include "FakeCrontab.h"
#include "RecordingPrompter.h"
#include "RunShell.h"
#include "SamplePrefixCopy.h"
#include "app/Environment.h"
#include "app/MachineSource.h"
#include "platform/ScopedEnv.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace trelmig;

TEST(WindowsUserJob, AJobOfAWindowsUserFolderRunsAsCronStartsItAndKeepsVersions) {
    SamplePrefixCopy sample;
    const fs::path disk = sample.work.path() / "OS disk";
    const CommandRun made =
        RunShell(std::string(TRELMIG_MAKE_WINDOWS_DISK) + " " + ShellQuoted(sample.root.string()) +
                 " sam " + ShellQuoted(disk.string()));
    ASSERT_EQ(made.status, 0) << made.output;
    const fs::path userFolder = disk / "Users" / "sam";

    ScopedEnv configHome{"XDG_CONFIG_HOME", (sample.work.path() / "config").string()};
    RecordingPrompter prompter;
    const auto env = OpenEnvironment({std::nullopt, userFolder, std::nullopt}, prompter);
    ASSERT_TRUE(env->readOnlySource());
    FakeCrontab fake;
    const TaskScheduler scheduler =
        ForWindowsUserFolder({fake.crontab(), TRELMIG_BINARY, fs::absolute(env->prefix.root()),
                              std::nullopt, [] { return true; }},
                             *env);
    EXPECT_EQ(scheduler.windowsUser, fs::absolute(userFolder));
    EXPECT_EQ(scheduler.windowsRoot, disk);

    const fs::path out = sample.work.path() / "backups";
    fs::create_directories(out);
    JobChoices choices{"21:30", "M", "Outlook", "00100000", "secret", (out / "pc.kvx").string()};
    choices.keep = KeepPolicy{1, 0, 0, 0};
    ASSERT_EQ(RegisterJob(choices, scheduler, prompter).result, RegisterResult::Registered)
        << prompter.messages.back().text;
    const std::string line = fake.Table().substr(0, fake.Table().find('\n'));
    EXPECT_EQ(line.find("WINEPREFIX"), std::string::npos) << line;
    EXPECT_EQ(line.find("--prefix"), std::string::npos) << line;
    const auto listed = ListJobs(fake.crontab());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].windowsUser, fs::absolute(userFolder).string());
    EXPECT_EQ(listed[0].keep, choices.keep);

    // Run twice as cron would, a second apart: the policy keeps the last one.
    const std::string state = (sample.work.path() / "state").string();
    const std::string cron = "env -i HOME=" + ShellQuoted(sample.work.path().string()) +
                             " XDG_STATE_HOME=" + ShellQuoted(state) +
                             " PATH=/usr/bin:/bin /bin/sh -c " + ShellQuoted(CronCommand(line));
    const CommandRun first = RunShell(cron);
    ASSERT_EQ(first.status, 0) << line << "\n" << first.output;
    const auto afterFirst = NamesIn(out);
    ASSERT_EQ(afterFirst.size(), 1u);
    EXPECT_TRUE(afterFirst.begin()->starts_with("pc-20")) << *afterFirst.begin();
    RunShell("sleep 1.1");
    const CommandRun second = RunShell(cron);
    ASSERT_EQ(second.status, 0) << second.output;
    const auto afterSecond = NamesIn(out);
    ASSERT_EQ(afterSecond.size(), 1u);
    EXPECT_NE(*afterSecond.begin(), *afterFirst.begin());
    // The version is an ordinary backup that asks for the job's password.
    const CommandRun verify =
        RunShell("printf 'secret\\n' > " + ShellQuoted(state + "/pw") + " && " + TRELMIG_BINARY +
                 " --verify " + ShellQuoted((out / *afterSecond.begin()).string()) +
                 " --password-file " + ShellQuoted(state + "/pw"));
    EXPECT_EQ(verify.status, 0) << verify.output;
}
