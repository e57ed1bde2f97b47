#include "ParseArguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using trelmig::CommandLine;

namespace {

struct Refusal {
    std::vector<const char*> args;
    std::string error;
};

std::string joined(const std::vector<const char*>& args) {
    std::string text;
    for (const char* arg : args)
        text += std::string(text.empty() ? "" : " ") + arg;
    return text;
}

} // namespace

// Each wrong combination is refused with the reason the user reads on stderr;
// when several are wrong at once, the first in the order below names it.
TEST(CommandLineRefusals, EachWrongCombinationNamesItsReason) {
    const std::string chooseOne =
        "choose one of --list-profiles, --list-prefixes, --inspect, --verify, --restore, "
        "--undo-restore, --schedule, --list-jobs, --move-jobs, --remove-job or a backup command "
        "line";
    const std::vector<Refusal> refusals = {
        {{"--items"}, "--items needs a value"},
        {{"--list-jobs", "--password-file"}, "--password-file needs a value"},
        {{"--frobnicate", "--list-jobs"}, "unknown option --frobnicate (see --help)"},
        {{"--write-iso", "out.iso"},
         "--write-iso needs at least one file or folder to put into the image"},
        {{"--volume", "V", "--list-jobs"}, "--volume goes with --write-iso"},
        {{"--volume=V", "--write-iso", "o.iso", "--list-jobs", "a"}, chooseOne},
        {{"--inspect", "a.kvx", "--verify", "b.kvx"}, chooseOne},
        {{"--undo-restore", "sf=Axm=10000000ps=bf=/b"}, chooseOne},
        {{"--keep-last", "x", "--list-jobs"}, "--keep-last takes a number of versions, not \"x\""},
        {{"--keep-weekly", "2", "--list-jobs"},
         "--keep-last, --keep-daily, --keep-weekly and --keep-monthly go with an unattended "
         "backup line or --schedule"},
        {{"--create", "--list-jobs"}, "--create goes with --restore"},
        {{"--windows-root", "/mnt/c", "--list-profiles"},
         "--windows-root goes with --windows-user"},
        {{"--windows-user", "/mnt/c/Users/Sam", "--prefix", "/p", "--list-profiles"},
         "choose --prefix or --windows-user"},
        {{"--windows-user", "/mnt/c/Users/Sam", "--list-jobs"},
         "--windows-user goes with --list-profiles, --schedule, a backup command line or the "
         "window"},
        {{"--undo-restore", "9"},
         "--undo-restore takes the number of a restore from 1 (the "
         "last) to 5"},
        {{"--keep-password-file", "--list-jobs"}, "--keep-password-file goes with --remove-job"},
        {{"--days", "M", "--list-jobs"}, "--at and --days go with --schedule"},
        {{"--schedule", "sf=Axm=10000000ps=bf=/b", "--days", "M"}, "--schedule needs --at HH:MM"},
        {{"--remove-job", "none"}, "--remove-job needs a task number"},
        {{"--restore", "a.kvx", "--items", "10000000"},
         "--restore needs --profile NAME and --items with eight 0/1 characters"},
        {{"--restore", "a.kvx", "--profile", "P", "--items", "1000000"},
         "--restore needs --profile NAME and --items with eight 0/1 characters"},
        {{"--restore", "a.kvx", "--profile", "P", "--items", "1000000x"},
         "--restore needs --profile NAME and --items with eight 0/1 characters"},
        {{"--repository", "/r", "--list-jobs"},
         "--repository goes with sf=... bf=, --list-versions, --restore, --verify, --browse, "
         "--export-kvx and --import-kvx"},
        {{"--version-name", "latest", "--list-versions", "--repository", "/r"},
         "--version-name goes with --restore, --browse and --export-kvx, beside --repository"},
        {{"--browse", "--repository", "/r"},
         "--browse --repository URL needs --version-name NAME (or latest), and no backup file"},
        {{"--verify", "a.kvx", "--read-data"}, "--read-data goes with --verify --repository"},
        {{"--restore", "--repository", "/r", "--profile", "P", "--items", "10000000"},
         "--restore --repository URL needs --version-name NAME (or latest), --profile NAME and "
         "--items MASK, and no backup file"},
        {{"--restore", "a.kvx", "--repository", "/r", "--version-name", "latest", "--profile", "P",
          "--items", "10000000"},
         "--restore --repository URL needs --version-name NAME (or latest), --profile NAME and "
         "--items MASK, and no backup file"},
        {{"--list-versions"}, "--list-versions needs --repository URL"},
    };
    for (const auto& refusal : refusals) {
        const CommandLine cmd = parse(refusal.args);
        EXPECT_EQ(cmd.mode, CommandLine::Mode::Invalid) << joined(refusal.args);
        EXPECT_EQ(cmd.error, refusal.error) << joined(refusal.args);
    }
}

// --restore and --verify of a repository take no file: "--repository" next is
// their companion, not their value.
TEST(CommandLineRefusals, RepositoryVerbsTakeTheirRepository) {
    const CommandLine restore = parse({"--restore", "--repository", "ssh://u@h/r", "--version-name",
                                       "latest", "--profile", "P", "--items", "10000000"});
    EXPECT_EQ(restore.mode, CommandLine::Mode::Restore) << restore.error;
    EXPECT_EQ(restore.repository, "ssh://u@h/r");
    EXPECT_TRUE(restore.archive.empty());
    const CommandLine verify = parse({"--verify", "--repository=/r", "--read-data"});
    EXPECT_EQ(verify.mode, CommandLine::Mode::Verify) << verify.error;
    EXPECT_TRUE(verify.readData);
    const CommandLine line = parse({"--repository", "/r", "sf=Pxm=10000000ps=xbf="});
    EXPECT_EQ(line.mode, CommandLine::Mode::Unattended) << line.error;
}

// What a verb needs besides its own option, and what a verb leaves alone.
TEST(CommandLineRefusals, CompleteRequestsAreTakenWithTheirValues) {
    const CommandLine iso = parse({"--write-iso=o.iso", "--volume", "Mail", "a", "b c"});
    EXPECT_EQ(iso.mode, CommandLine::Mode::WriteIso);
    EXPECT_EQ(iso.isoTarget, "o.iso");
    EXPECT_EQ(iso.volume, "Mail");
    EXPECT_EQ(iso.unattendedArgs, (std::vector<std::string>{"a", "b c"}));

    const CommandLine job =
        parse({"--schedule=sf=Axm=10000000ps=bf=/b", "--at", "21:30", "--days=M,W"});
    EXPECT_EQ(job.mode, CommandLine::Mode::Schedule);
    EXPECT_EQ(job.scheduleCommand, "sf=Axm=10000000ps=bf=/b");
    EXPECT_EQ(job.startTime, "21:30");
    EXPECT_EQ(job.days, "M,W");

    const CommandLine remove = parse({"--remove-job", "3", "--keep-password-file"});
    EXPECT_EQ(remove.mode, CommandLine::Mode::RemoveJob);
    EXPECT_EQ(remove.jobNumber, 3);
    EXPECT_TRUE(remove.keepPasswordFile);

    const CommandLine restore = parse({"--restore", "a.kvx", "--profile=Work", "--items",
                                       "01000000", "--password-file", "pw.txt"});
    EXPECT_EQ(restore.mode, CommandLine::Mode::Restore);
    EXPECT_EQ(restore.archive, "a.kvx");
    EXPECT_EQ(restore.profile, "Work");
    EXPECT_EQ(restore.items, "01000000");
    EXPECT_EQ(restore.passwordFile, std::filesystem::path("pw.txt"));

    EXPECT_EQ(parse({"--verify", "a.kvx"}).mode, CommandLine::Mode::Verify);
    EXPECT_EQ(parse({"--inspect=a.kvx"}).archive, "a.kvx");
    EXPECT_EQ(parse({"--list-jobs"}).mode, CommandLine::Mode::ListJobs);
    // Help wins over anything after it, even a wrong option.
    EXPECT_EQ(parse({"--list-jobs", "-h", "--frobnicate"}).mode, CommandLine::Mode::Help);
}
