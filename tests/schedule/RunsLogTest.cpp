#include "platform/RunsLog.h"
#include "core/RunRecord.h"
#include "schedule/JobStatus.h"

#include "FakeNotificationServer.h"
#include "RunShell.h"
#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

std::vector<RunRecord> runsIn(const fs::path& stateHome) {
    std::vector<RunRecord> runs;
    for (const auto& line : RunsLogLines(stateHome / "trelmig" / "runs.log")) {
        auto run = ParseRunRecord(line);
        EXPECT_TRUE(run) << line;
        if (run)
            runs.push_back(*run);
    }
    return runs;
}

} // namespace

TEST(RunRecord, ReadsBackWhatItWroteAndRefusesALineCutShort) {
    RunRecord r;
    r.job = 4;
    r.prefix = "/home/sam/.wine";
    r.profile = "Sam \"Work\"\\Mail";
    r.start = "2026-12-09T21:30:00+01:00";
    r.end = "2026-12-09T21:31:12+01:00";
    r.exitStatus = 3;
    r.archive = "/b/outlook-2026-12-09-213000.partial.kvx";
    r.bytes = 5'000'000'000;
    r.done = {"Backup Signatures"};
    r.failed = {"Backup Personal Folders"};
    r.notUsed = {};
    r.message = "line one\nline two\ttab \x01 Grüße";
    const std::string line = RunRecordJson(r);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(ParseRunRecord(line), r);
    EXPECT_FALSE(ParseRunRecord(line.substr(0, line.size() - 9)));
    r.job.reset();
    EXPECT_EQ(ParseRunRecord(RunRecordJson(r)), r);
}

// Each unattended run leaves one line; a failed one also reaches the desktop.
TEST(RunsLog, EveryRunIsLoggedAndAFailureIsNotified) {
    FakeNotificationServer server;
    SamplePrefixCopy sample;
    const fs::path state = sample.work.path() / "state";
    const std::string env = "XDG_STATE_HOME='" + state.string() + "' TRELMIG_JOB=5 " +
                            "DBUS_SESSION_BUS_ADDRESS='" +
                            (server.Available() ? server.Address() : "unix:path=/none") + "' ";
    const std::string run = env + TRELMIG_BINARY + " --prefix '" + sample.root.string() + "' ";
    const fs::path target = sample.work.path() / "out" / "outlook.kvx";
    fs::create_directories(target.parent_path());

    const CommandRun good =
        RunShell(run + "--keep-last 2 sf=Outlook xm=00100000 ps= bf='" + target.string() + "'");
    EXPECT_EQ(good.status, 0) << good.output;
    const CommandRun bad = RunShell(run + "sf=Nobody xm=00100000 ps= bf='" + target.string() + "'");
    EXPECT_EQ(bad.status, 1) << bad.output;
    const CommandRun refused = RunShell(run + "sf=Outlook xm=2 ps= bf=x");
    EXPECT_EQ(refused.status, 2) << refused.output;

    const auto runs = runsIn(state);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].job, 5);
    EXPECT_EQ(runs[0].exitStatus, 0);
    EXPECT_EQ(runs[0].profile, "Outlook");
    EXPECT_EQ(runs[0].prefix, sample.root.string());
    EXPECT_EQ(runs[0].done, std::vector<std::string>{"Backup Signatures"});
    // The runs window shows the message: items by name, not as a mask.
    EXPECT_TRUE(runs[0].message.ends_with("(Backup Signatures)")) << runs[0].message;
    // The version beside the chosen name; the chosen name itself stays free.
    EXPECT_EQ(fs::path(runs[0].archive).parent_path(), target.parent_path());
    EXPECT_TRUE(fs::path(runs[0].archive).filename().string().starts_with("outlook-20"));
    EXPECT_TRUE(fs::exists(runs[0].archive));
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(runs[0].bytes, fs::file_size(runs[0].archive));
    EXPECT_EQ(runs[1].exitStatus, 1);
    EXPECT_EQ(runs[1].message, "there is no Outlook profile \"Nobody\"; nothing was backed up");
    EXPECT_EQ(runs[2].exitStatus, 2);
    EXPECT_LE(runs[0].start, runs[0].end);

    if (!server.Available())
        GTEST_SKIP() << "the notification is not checked: " << server.WhyNot();
    const auto calls = server.Calls();
    ASSERT_EQ(calls.size(), 2u); // the failed and the refused run
    EXPECT_EQ(calls[0].summary, "Scheduled backup failed");
    EXPECT_EQ(calls[0].body, runs[1].message);
    EXPECT_EQ(calls[0].urgency, 2);
    EXPECT_EQ(calls[0].actions, (std::vector<std::string>{"default", "Show the runs"}));
    std::cout << "Notify(\"" << calls[0].application << "\", icon \"" << calls[0].icon << "\", \""
              << calls[0].summary << "\", \"" << calls[0].body << "\", actions ["
              << calls[0].actions[0] << ", " << calls[0].actions[1] << "], urgency "
              << int(*calls[0].urgency) << ")\n";
}

TEST(RunsLog, TheWindowsLineSaysTheLastRunAndAlarmsWhenNoneSucceededLately) {
    const std::tm now = [] {
        std::tm t{};
        t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 9, t.tm_hour = 12, t.tm_isdst = -1;
        return t;
    }();
    const auto run = [](const char* start, int exit) {
        RunRecord r;
        r.start = start;
        r.exitStatus = exit;
        return r;
    };
    EXPECT_EQ(SummarizeRuns({}, now).text, "Last backup: none yet");
    const auto fine = SummarizeRuns({run("2026-12-08T21:30:00+01:00", 0)}, now);
    EXPECT_EQ(fine.text, "Last backup: 2026-12-08 21:30, Succeeded");
    EXPECT_FALSE(fine.alarming);
    const auto failed = SummarizeRuns(
        {run("2026-12-07T21:30:00+01:00", 0), run("2026-12-08T21:30:00+01:00", 3)}, now);
    EXPECT_EQ(failed.text, "Last backup: 2026-12-08 21:30, Partly failed");
    EXPECT_TRUE(failed.alarming);
    const auto stale = SummarizeRuns({run("2026-12-01T21:30:00+01:00", 0)}, now);
    EXPECT_EQ(stale.text,
              "Last backup: 2026-12-01 21:30, Succeeded; no backup succeeded for 7 days");
    EXPECT_TRUE(stale.alarming);
    EXPECT_FALSE(SummarizeRuns({run("2026-12-01T21:30:00+01:00", 0)}, now, 10).alarming);
}
