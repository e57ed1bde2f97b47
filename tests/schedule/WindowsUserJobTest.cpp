// A backup scheduled while a Windows user folder is open: the job names the
// folder, not a prefix, and runs as cron starts it, keeping versions.
#include "schedule/TaskScheduler.h"

#include "FakeCrontab.h"
#include "RecordingPrompter.h"
#include "RunShell.h"
#include "SamplePrefixCopy.h"
#include "app/Environment.h"
#include "app/MachineSource.h"
#include "platform/ScopedEnv.h"

#include <gtest/gtest.h>

#include <set>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The command cron hands to the shell: the line after its five time fields
// (the job lines here hold no "%").
std::string cronCommand(const std::string& line) {
    std::size_t pos = 0;
    for (int field = 0; field < 5; ++field)
        pos = line.find_first_of(' ', line.find_first_not_of(' ', pos));
    return line.substr(line.find_first_not_of(' ', pos));
}

std::set<std::string> filesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

} // namespace

TEST(WindowsUserJob, AJobOfAWindowsUserFolderRunsAsCronStartsItAndKeepsVersions) {
    SamplePrefixCopy sample;
    const fs::path disk = sample.work.path() / "OS disk";
    const CommandRun made =
        RunShell(std::string(TRELMIG_MAKE_WINDOWS_DISK) + " " + quoted(sample.root.string()) +
                 " sam " + quoted(disk.string()));
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
    const std::string cron = "env -i HOME=" + quoted(sample.work.path().string()) +
                             " XDG_STATE_HOME=" + quoted(state) +
                             " PATH=/usr/bin:/bin /bin/sh -c " + quoted(cronCommand(line));
    const CommandRun first = RunShell(cron);
    ASSERT_EQ(first.status, 0) << line << "\n" << first.output;
    const auto afterFirst = filesIn(out);
    ASSERT_EQ(afterFirst.size(), 1u);
    EXPECT_TRUE(afterFirst.begin()->starts_with("pc-20")) << *afterFirst.begin();
    RunShell("sleep 1.1");
    const CommandRun second = RunShell(cron);
    ASSERT_EQ(second.status, 0) << second.output;
    const auto afterSecond = filesIn(out);
    ASSERT_EQ(afterSecond.size(), 1u);
    EXPECT_NE(*afterSecond.begin(), *afterFirst.begin());
    // The version is an ordinary backup that asks for the job's password.
    const CommandRun verify =
        RunShell("printf 'secret\\n' > " + quoted(state + "/pw") + " && " + TRELMIG_BINARY +
                 " --verify " + quoted((out / *afterSecond.begin()).string()) +
                 " --password-file " + quoted(state + "/pw"));
    EXPECT_EQ(verify.status, 0) << verify.output;
}
