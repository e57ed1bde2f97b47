#include "cli/CommandLine.h"

#include "ParseArguments.h"

#include <gtest/gtest.h>

using namespace trelmig;

TEST(ScheduleCommandLine, ScheduleListAndRemove) {
    const auto s = parse({"--prefix", "/p", "--schedule", "sf=Axm=10000000ps=bf=/b.kvx", "--at",
                          "9:00", "--days", "M,TH"});
    EXPECT_EQ(s.mode, CommandLine::Mode::Schedule);
    EXPECT_EQ(s.scheduleCommand, "sf=Axm=10000000ps=bf=/b.kvx");
    EXPECT_EQ(s.startTime, "9:00");
    EXPECT_EQ(s.days, "M,TH");
    const auto once = parse({"--schedule=sf=Axm=10000000ps=bf=/b.kvx", "--at=23:30"});
    EXPECT_EQ(once.mode, CommandLine::Mode::Schedule);
    EXPECT_FALSE(once.days);

    EXPECT_EQ(parse({"--list-jobs"}).mode, CommandLine::Mode::ListJobs);
    const auto remove = parse({"--remove-job", "12"});
    EXPECT_EQ(remove.mode, CommandLine::Mode::RemoveJob);
    EXPECT_EQ(remove.jobNumber, 12);
    EXPECT_EQ(parse({"--remove-job", "1000000000"}).jobNumber, 1000000000);
    EXPECT_EQ(parse({"--remove-job", "2147483647"}).jobNumber, 2147483647);
    EXPECT_TRUE(parse({"--remove-job", "4", "--keep-password-file"}).keepPasswordFile);
    EXPECT_FALSE(remove.keepPasswordFile);
}

// A job may keep versions and read a Windows user folder; neither goes with
// the other verbs.
TEST(ScheduleCommandLine, AJobKeepsVersionsAndReadsAWindowsUserFolder) {
    const auto s = parse({"--windows-user", "/media/sam/OS/Users/Sam", "--schedule",
                          "sf=Axm=10000000ps=bf=/b.kvx", "--at", "9:00", "--keep-last", "2"});
    EXPECT_EQ(s.mode, CommandLine::Mode::Schedule) << s.error;
    EXPECT_EQ(s.windowsUser, "/media/sam/OS/Users/Sam");
    EXPECT_EQ(s.keep, (KeepPolicy{2, 7, 4, 6}));
    EXPECT_EQ(parse({"--list-jobs", "--keep-last", "2"}).mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(parse({"--windows-user", "/u", "--remove-job", "2"}).mode,
              CommandLine::Mode::Invalid);
}

TEST(ScheduleCommandLine, PasswordsAreHiddenFromOtherUsers) {
    auto hidden = [](std::vector<std::string> args) {
        args.insert(args.begin(), "trelmig");
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        const CommandLine cmd = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        HidePasswordArguments(cmd, static_cast<int>(argv.size()), argv.data());
        args.erase(args.begin());
        return args;
    };
    using Args = std::vector<std::string>;
    EXPECT_EQ(hidden({"sf=Outlookxm=11111111ps=secretbf=/b.kvx"}),
              Args{"sf=Outlookxm=11111111ps=******bf=/b.kvx"});
    // Spread over arguments, with options between; the joining blank stays.
    EXPECT_EQ(
        hidden({"--prefix", "/ps=x/p", "sf=Outlook", "xm=11111111", "ps=two", "words", "bf=/b"}),
        (Args{"--prefix", "/ps=x/p", "sf=Outlook", "xm=11111111", "ps=***", "*****", "bf=/b"}));
    EXPECT_EQ(hidden({"--schedule", "sf=Axm=10000000ps=pwbf=/b.kvx", "--at", "9:00"}),
              (Args{"--schedule", "sf=Axm=10000000ps=**bf=/b.kvx", "--at", "9:00"}));
    EXPECT_EQ(hidden({"--schedule=sf=Axm=10000000ps=pwbf=/b.kvx", "--at=9:00"}),
              (Args{"--schedule=sf=Axm=10000000ps=**bf=/b.kvx", "--at=9:00"}));
    // Nothing else is touched.
    EXPECT_EQ(hidden({"sf=Axm=10000000ps=bf=/b.kvx"}), Args{"sf=Axm=10000000ps=bf=/b.kvx"});
    EXPECT_EQ(hidden({"--inspect", "ps=x.kvx"}), (Args{"--inspect", "ps=x.kvx"}));
}

TEST(ScheduleCommandLine, IncompleteOrMixedRequestsAreRefused) {
    for (const auto& args : std::vector<std::vector<const char*>>{
             {"--schedule", "sf=Axm=10000000ps=bf=/b"},  // no time
             {"--at", "9:00"},                           // no job
             {"--list-jobs", "--days", "M"},             // days without a job
             {"--list-jobs", "--remove-job", "1"},       // two actions
             {"--list-jobs", "sf=Axm=10000000ps=bf=/b"}, // and a backup
             {"--remove-job", "0"},                      // no such number
             {"--remove-job", "x1"},                     // not a number
             {"--remove-job", "99999999999"},            // too big
             {"--remove-job", "2147483648"},             // past int
             {"--remove-job", "-3"},                     // negative
             {"--remove-job="},                          // empty
             {"--schedule"},                             // no value
         }) {
        const auto cmd = parse(args);
        EXPECT_EQ(cmd.mode, CommandLine::Mode::Invalid) << args[0];
        EXPECT_FALSE(cmd.error.empty()) << args[0];
    }
}
