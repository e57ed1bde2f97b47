#include "platform/TimerUnits.h"

#include "RunShell.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

std::string shellWord(const std::string& s) {
    return "'" + s + "'";
}

// Monday and Thursday at 21:30, as the schedule window makes it.
AtInfo mondayAndThursday(const std::string& program, const std::string& arguments) {
    return {(21u * 3600u + 30u * 60u) * 1000u, 0, 0x09, kJobRunPeriodically,
            "\"" + program + "\" " + arguments};
}

bool haveSystemdAnalyze() {
    return RunShell("command -v systemd-analyze").status == 0;
}

} // namespace

// systemd's own reader judges the units: every key known, the program there.
TEST(TimerUnits, SystemdAnalyzeVerifiesTheUnitsOfAJob) {
    if (!haveSystemdAnalyze())
        GTEST_SKIP() << "systemd-analyze is not installed";
    WorkFolder dir;
    const AtInfo info =
        mondayAndThursday(TRELMIG_BINARY, "sf=Outlookxm=10000001ps=bf=/b/50% $HOME.kvx");
    std::ofstream(dir.path() / TimerUnitName(3))
        << TimerUnitText(info, 3, "/home/sam/.wine", "/home/sam/.config/trelmig/jobs/p");
    std::ofstream(dir.path() / ServiceUnitName(3))
        << ServiceUnitText(info, 3, "/home/sam/.wine", "/home/sam/.config/trelmig/jobs/p");
    const CommandRun verify =
        RunShell("cd " + shellWord(dir.path().string()) + " && systemd-analyze verify --man=no " +
                 TimerUnitName(3) + " " + ServiceUnitName(3));
    EXPECT_EQ(verify.status, 0) << verify.output;
    EXPECT_EQ(verify.output, "") << verify.output;
}

// A job of a Windows user folder that keeps versions: its options are words
// of their own in ExecStart=, which systemd still accepts, and read back.
TEST(TimerUnits, OptionsAroundTheCommandAreAcceptedAndReadBack) {
    const AtInfo info = mondayAndThursday(TRELMIG_BINARY, "sf=Outlookxm=10000001ps=bf=/b/o.kvx");
    const JobArguments arguments{{"--windows-user", "/media/sam/OS/Users/Sam Smith"},
                                 {"--keep-last", "3", "--keep-monthly", "6"}};
    const std::string service = ServiceUnitText(info, 5, {}, "/k/p", arguments);
    EXPECT_NE(
        service.find("ExecStart=\"" + std::string(TRELMIG_BINARY) +
                     "\" --password-file \"/k/p\" \"--windows-user\" "
                     "\"/media/sam/OS/Users/Sam Smith\" \"sf=Outlookxm=10000001ps=bf=/b/o.kvx\" "
                     "\"--keep-last\" \"3\" \"--keep-monthly\" \"6\"\n"),
        std::string::npos)
        << service;
    // No prefix for a job that reads a Windows user folder.
    EXPECT_EQ(service.find("WINEPREFIX"), std::string::npos) << service;
    const auto job = JobOfTimerUnit(TimerUnitText(info, 5, {}, "/k/p", arguments));
    ASSERT_TRUE(job);
    EXPECT_EQ(job->arguments, arguments);
    EXPECT_EQ(job->info, info);

    if (!haveSystemdAnalyze())
        GTEST_SKIP() << "systemd-analyze is not installed";
    WorkFolder dir;
    std::ofstream(dir.path() / TimerUnitName(5)) << TimerUnitText(info, 5, {}, "/k/p", arguments);
    std::ofstream(dir.path() / ServiceUnitName(5)) << service;
    const CommandRun verify =
        RunShell("cd " + shellWord(dir.path().string()) + " && systemd-analyze verify --man=no " +
                 TimerUnitName(5) + " " + ServiceUnitName(5));
    EXPECT_EQ(verify.status, 0) << verify.output;
    EXPECT_EQ(verify.output, "") << verify.output;
}

// The calendar lines mean the days and the time of the record.
TEST(TimerUnits, CalendarsMeanTheDaysAndTimeOfTheRecord) {
    if (!haveSystemdAnalyze())
        GTEST_SKIP() << "systemd-analyze is not installed";
    struct Case {
        AtInfo info;
        std::string normalized; // as systemd reads it back
        std::string weekdays;   // the next three runs fall on these only (empty: any)
    };
    const Case cases[] = {
        {mondayAndThursday("/p", "a"), "Mon,Thu *-*-* 21:30:00", "Mon Thu"},
        {{0, 0, 0x7f, 1, "\"/p\" a"}, "*-*-* 00:00:00", ""},
        {{(9u * 60u + 5u) * 60000u, 0, 0x40, 1, "\"/p\" a"}, "Sun *-*-* 09:05:00", "Sun"},
        {{23u * 3600000u, 0, 0, 1, "\"/p\" a"}, "*-*-* 23:00:00", ""},
        {{12u * 3600000u, (1u << 0) | (1u << 14), 0, 1, "\"/p\" a"}, "*-*-01,15 12:00:00", ""},
    };
    for (const Case& c : cases) {
        std::string line = OnCalendarLines(c.info);
        ASSERT_TRUE(line.starts_with("OnCalendar=")) << line;
        line = line.substr(11, line.find('\n') - 11);
        const CommandRun run =
            RunShell("TZ=UTC LC_ALL=C systemd-analyze calendar --iterations=3 " + shellWord(line));
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find("Normalized form: " + c.normalized), std::string::npos)
            << run.output;
        int runs = 0;
        std::istringstream lines(run.output);
        for (std::string l; std::getline(lines, l);) {
            const auto colon = l.find(": ");
            if (l.find("Next elapse") == std::string::npos &&
                l.find("Iter. #") == std::string::npos)
                continue;
            ++runs;
            if (!c.weekdays.empty()) {
                EXPECT_NE(c.weekdays.find(l.substr(colon + 2, 3)), std::string::npos) << run.output;
            }
        }
        EXPECT_EQ(runs, 3) << run.output;
    }
    // Weekdays and days of the month both: either runs, as in cron.
    EXPECT_EQ(OnCalendarLines({0, 1, 0x01, 1, "\"/p\" a"}),
              "OnCalendar=Mon *-*-* 00:00:00\nOnCalendar=*-*-01 00:00:00\n");
}

// A timer carries its job whole: it reads back as the crontab line would.
TEST(TimerUnits, TheTimerReadsBackItsJob) {
    const AtInfo periodic =
        mondayAndThursday("/usr/bin/trelmig", "sf=Work 2xm=11000000ps=bf=/b/%o.kvx");
    const auto job = JobOfTimerUnit(TimerUnitText(periodic, 12, "/home/sam/.wine", "/k/p"));
    ASSERT_TRUE(job);
    EXPECT_EQ(job->number, 12);
    EXPECT_EQ(job->info, periodic);
    EXPECT_EQ(job->winePrefix, "/home/sam/.wine");
    EXPECT_EQ(job->passwordFile, "/k/p");

    // Once: the service removes its own timer before the backup starts.
    const AtInfo once{9u * 3600000u, 0, 0, kJobRunPeriodically, "\"/usr/bin/trelmig\" a=b"};
    const std::string service = ServiceUnitText(once, 4, {}, "/k/once-p");
    EXPECT_NE(
        service.find("ExecStartPre=\"/usr/bin/trelmig\" --remove-job 4 --keep-password-file\n"),
        std::string::npos)
        << service;
    EXPECT_EQ(JobOfTimerUnit(TimerUnitText(once, 4, {}, "/k/once-p"))->keepsPasswordFile, true);
    EXPECT_FALSE(JobOfTimerUnit("[Unit]\nDescription=x\n"));
    // What no job can carry is refused before a unit is written.
    EXPECT_THROW(TimerUnitText({25u * 3600000u, 0, 1, 1, "\"/p\" a"}, 1, {}), CrontabError);
}
