#include "platform/TimerUnits.h"
#include "platform/UserTimers.h"

#include "RunShell.h"
#include "ScopedEnv.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

std::string shellWord(const std::string& s) {
    return "'" + s + "'";
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A systemd user manager of its own: private runtime, configuration and data
// folders, its own session bus. systemd runs as a user manager, and systemctl
// talks to one, only on a machine booted with systemd; in a container both
// run in mount namespaces of their own in which /run says so, which needs root.
class PrivateUserManager {
public:
    PrivateUserManager() {
        for (const char* sub : {"rt", "config", "data"})
            fs::create_directories(dir.path() / sub);
        if (!fs::exists("/run/systemd/system")) {
            systemctl = (dir.path() / "systemctl").string();
            std::ofstream(systemctl) << "#!/bin/sh\nexec unshare -m sh -c " << shellWord(kBooted)
                                     << "' && exec systemctl \"$@\"' sh \"$@\"\n";
            fs::permissions(systemctl, fs::perms::owner_all);
        }
        fs::permissions(dir.path() / "rt", fs::perms::owner_all);
        if (!fs::exists("/usr/lib/systemd/systemd") || RunShell("command -v dbus-daemon").status)
            whyNot = "systemd or dbus-daemon is not installed";
        else if (::geteuid() != 0 && !fs::exists("/run/systemd/system"))
            whyNot = "a user manager needs a machine booted with systemd, or root to pretend one";
        else if (const CommandRun bus = RunShell(environment() +
                                                 "dbus-daemon --session --fork --print-pid "
                                                 "--address=unix:path=" +
                                                 (dir.path() / "rt" / "bus").string());
                 bus.status != 0 || (busPid = std::atoi(bus.output.c_str())) <= 0)
            whyNot = "dbus-daemon did not start: " + bus.output;
    }
    ~PrivateUserManager() {
        Stop();
        if (busPid > 0)
            ::kill(busPid, SIGTERM);
    }

    // Starts the manager and waits until it answers; false with whyNot set
    // when it does not.
    bool Start() {
        const std::string boot =
            fs::exists("/run/systemd/system")
                ? "exec /usr/lib/systemd/systemd --user"
                : std::string(kBooted) + " && exec /usr/lib/systemd/systemd --user";
        const CommandRun started =
            RunShell(environment() + "setsid unshare -m sh -c " + shellWord(boot) + " > " +
                     shellWord((dir.path() / "manager.log").string()) + " 2>&1 & echo $!");
        pid = std::atoi(started.output.c_str());
        for (int i = 0; i < 200 && pid > 0; ++i) {
            const CommandRun state =
                RunShell(environment() + systemctl + " --user is-system-running");
            if (state.output.starts_with("running") || state.output.starts_with("degraded"))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        whyNot = "the user manager did not start: " + readFile(dir.path() / "manager.log");
        Stop();
        return false;
    }
    void Stop() {
        if (pid <= 0)
            return;
        ::kill(pid, SIGTERM);
        for (int i = 0; i < 200 && fs::exists("/proc/" + std::to_string(pid)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pid = 0;
    }

    std::string environment() const {
        const std::string d = dir.path().string();
        return "XDG_RUNTIME_DIR=" + shellWord(d + "/rt") +
               " DBUS_SESSION_BUS_ADDRESS=" + shellWord("unix:path=" + d + "/rt/bus") +
               " XDG_CONFIG_HOME=" + shellWord(d + "/config") +
               " XDG_DATA_HOME=" + shellWord(d + "/data") + " ";
    }
    fs::path stampOf(int number) const {
        return dir.path() / "data" / "systemd" / "timers" / ("stamp-" + TimerUnitName(number));
    }

    static constexpr const char* kBooted =
        "mount -t tmpfs tmpfs /run && mkdir -p /run/systemd/system";
    WorkFolder dir;
    std::string systemctl = "systemctl";
    std::string whyNot;
    int pid = 0;
    int busPid = 0;
};

class RealUserManager : public ::testing::Test {
protected:
    void SetUp() override {
        if (!manager.whyNot.empty() || !manager.Start())
            GTEST_SKIP() << manager.whyNot;
        // The job's program writes down how it was started.
        std::ofstream(program) << "#!/bin/sh\n{ printf '%s\\n' \"$@\"; echo \"job=$TRELMIG_JOB\";"
                                  " echo \"prefix=$WINEPREFIX\"; } > "
                               << shellWord(ran.string()) << ".new && mv "
                               << shellWord(ran.string()) << ".new " << shellWord(ran.string())
                               << "\n";
        fs::permissions(program, fs::perms::owner_all);
    }

    // A job every day at a time two minutes ago.
    AtInfo dailyTwoMinutesAgo() const {
        const std::time_t then = std::time(nullptr) - 120;
        std::tm t{};
        localtime_r(&then, &t);
        return {static_cast<std::uint32_t>((t.tm_hour * 60 + t.tm_min) * 60000), 0, 0x7f,
                kJobRunPeriodically, "\"" + program.string() + "\" " + arguments};
    }
    bool waitForRun() const {
        for (int i = 0; i < 300 && !fs::exists(ran); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return fs::exists(ran);
    }

    PrivateUserManager manager;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", (manager.dir.path() / "rt").string()};
    ScopedEnv bus{"DBUS_SESSION_BUS_ADDRESS",
                  "unix:path=" + (manager.dir.path() / "rt" / "bus").string()};
    ScopedEnv config{"XDG_CONFIG_HOME", (manager.dir.path() / "config").string()};
    fs::path program = manager.dir.path() / "fake trelmig";
    fs::path ran = manager.dir.path() / "ran";
    std::string arguments =
        "sf=Outlookxm=10000001ps=bf=" + (manager.dir.path() / "50% $HOME.kvx").string();
    UserTimers timers{{manager.systemctl, {}}};
};

} // namespace

TEST_F(RealUserManager, AJobIsAnActiveTimerWhoseServiceStartsTheBackupAsWritten) {
    ASSERT_TRUE(timers.ManagerAnswers());
    timers.AddJob(dailyTwoMinutesAgo(), 1, "/home/sam/.wine office", "");
    EXPECT_EQ(RunShell(manager.systemctl + " --user is-active " + TimerUnitName(1)).output,
              "active\n");
    ASSERT_EQ(timers.Jobs().size(), 1u);
    EXPECT_EQ(timers.Jobs()[0].info, dailyTwoMinutesAgo());

    ASSERT_EQ(RunShell(manager.systemctl + " --user start " + ServiceUnitName(1)).status, 0);
    ASSERT_TRUE(waitForRun());
    EXPECT_EQ(readFile(ran), arguments + "\njob=1\nprefix=/home/sam/.wine office\n");

    ASSERT_TRUE(timers.RemoveJob(1));
    EXPECT_TRUE(timers.Jobs().empty());
    EXPECT_NE(RunShell(manager.systemctl + " --user is-active " + TimerUnitName(1)).output,
              "active\n");
    EXPECT_FALSE(fs::exists(timers.UnitFolder() / ServiceUnitName(1)));
}

// The laptop was off at the job's time: the run comes when the manager starts.
TEST_F(RealUserManager, ARunMissedWhileTheManagerWasStoppedRunsAtItsStart) {
    timers.AddJob(dailyTwoMinutesAgo(), 2, {}, "");
    // The time passed today: nothing runs now.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_FALSE(fs::exists(ran));
    manager.Stop();
    // The last run was yesterday; since then the machine was off.
    fs::create_directories(manager.stampOf(2).parent_path());
    std::ofstream(manager.stampOf(2)).close();
    fs::last_write_time(manager.stampOf(2),
                        fs::file_time_type::clock::now() - std::chrono::hours(24));

    ASSERT_TRUE(manager.Start()) << manager.whyNot;
    EXPECT_TRUE(waitForRun()) << RunShell(manager.systemctl + " --user list-timers --all").output;
    std::cout
        << RunShell(manager.systemctl + " --user list-timers --all " + TimerUnitName(2)).output;
    timers.RemoveJob(2);
}
