#include "cli/CommandLine.h"

#include "RunShell.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "ParseArguments.h"

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> optionsOf(const std::string& text, const std::regex& pattern) {
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it)
        found.insert((*it)[1].str());
    return found;
}

// The options --help lists, by name ("prefix", "list-profiles", ...).
std::set<std::string> helpOptions() {
    return optionsOf(HelpText(), std::regex(R"(--([a-z][a-z-]*))"));
}

} // namespace

TEST(VersionAndHelp, VersionNamesReleaseCopyrightAndLicence) {
    const std::string text = VersionText();
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(^trelmig \(Quenvar Outlook Backup\) )"
                                                   R"([0-9]+\.[0-9]+\n)")))
        << text;
    EXPECT_NE(text.find("Copyright (C) 2026 the trelmig developers\n"), std::string::npos);
    EXPECT_NE(text.find("GPL-3.0-or-later"), std::string::npos);

    const CommandRun run = RunShell(std::string(TRELMIG_BINARY) + " --version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, text);
}

TEST(VersionAndHelp, HelpListsEveryExitStatusAndTheFileArgument) {
    const std::string help = HelpText();
    ASSERT_NE(help.find("Exit status:"), std::string::npos);
    const auto statuses = help.substr(help.find("Exit status:"));
    for (const char* line : {"\n  0  ", "\n  1  ", "\n  2  ", "\n  3  "})
        EXPECT_NE(statuses.find(line), std::string::npos) << line;
    EXPECT_NE(help.find("trelmig [--prefix DIR] [FILE.kvx]"), std::string::npos);
    EXPECT_NE(help.find("sf=PROFILE xm=ITEMS ps=PASSWORD bf=ARCHIVE"), std::string::npos);

    const CommandRun run = RunShell(std::string(TRELMIG_BINARY) + " --help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, help);
}

// The manual and the shell completion are written by hand: they must not lose
// an option that --help lists, nor keep one that it dropped.
TEST(VersionAndHelp, ManualAndCompletionKnowEveryOptionOfTheHelp) {
    const std::set<std::string> help = helpOptions();
    ASSERT_GE(help.size(), 14u);
    const std::string manual = readFile(TRELMIG_SOURCE_DIR "/resources/trelmig.1");
    ASSERT_FALSE(manual.empty());
    // Options as the manual writes them: \-\-name.
    std::set<std::string> manualOptions;
    for (const std::string& name :
         optionsOf(manual, std::regex(R"(\\-\\-([a-z](?:[a-z]|\\-)*))"))) {
        std::string plain;
        for (char c : name)
            if (c != '\\')
                plain += c;
        manualOptions.insert(plain);
    }
    // "wineserver -k" is another program's option.
    EXPECT_EQ(manualOptions, help);
    for (const char* section : {".SH EXIT STATUS", ".SH UNATTENDED BACKUP", "\\-h"})
        EXPECT_NE(manual.find(section), std::string::npos) << section;
    for (const char* status : {"\n.B 0\n", "\n.B 1\n", "\n.B 2\n", "\n.B 3\n"})
        EXPECT_NE(manual.find(status), std::string::npos) << status;

    const std::string completion = readFile(TRELMIG_SOURCE_DIR "/resources/completion/trelmig");
    ASSERT_FALSE(completion.empty());
    EXPECT_EQ(optionsOf(completion, std::regex(R"(--([a-z][a-z-]*))")), help);
}

TEST(FileArgument, ALoneBackupFileOpensTheWindowOnIt) {
    auto file = parse({"/home/me/backups/Outlook 01-02-26.kvx"});
    EXPECT_EQ(file.mode, CommandLine::Mode::Gui);
    EXPECT_EQ(file.openFile, fs::path("/home/me/backups/Outlook 01-02-26.kvx"));
    EXPECT_TRUE(file.unattendedArgs.empty());
    EXPECT_TRUE(file.unattendedLine.empty());

    auto withPrefix = parse({"--prefix", "/p", "OLD.KVX"});
    EXPECT_EQ(withPrefix.mode, CommandLine::Mode::Gui);
    EXPECT_EQ(withPrefix.prefix, fs::path("/p"));
    EXPECT_EQ(withPrefix.openFile, fs::path("OLD.KVX"));

    EXPECT_FALSE(parse({}).openFile);
    EXPECT_FALSE(parse({"--prefix", "/p"}).openFile);

    // An existing file whose name holds "=" is still a file to open.
    WorkFolder dir;
    const fs::path odd = dir.path() / "a=b.kvx";
    std::ofstream(odd) << "x";
    auto oddFile = parse({odd.c_str()});
    EXPECT_EQ(oddFile.mode, CommandLine::Mode::Gui);
    EXPECT_EQ(oddFile.openFile, odd);
}

TEST(FileArgument, UnattendedLinesAndOtherActionsStayWhatTheyWere) {
    // A job's line ends in ".kvx" too.
    auto job = parse({"sf=Outlookxm=11111111ps=bf=/backups/o.kvx"});
    EXPECT_EQ(job.mode, CommandLine::Mode::Unattended);
    EXPECT_FALSE(job.openFile);
    EXPECT_EQ(job.unattendedLine, "sf=Outlookxm=11111111ps=bf=/backups/o.kvx");

    auto split = parse({"sf=Outlook", "xm=11111111", "ps=", "bf=/b/o.kvx"});
    EXPECT_EQ(split.mode, CommandLine::Mode::Unattended);
    EXPECT_FALSE(split.openFile);

    // A broken line naming no existing file keeps its refusal (exit 2 with
    // the reason) rather than opening a window.
    auto broken = parse({"sf=Outlookxm=101ps=bf=/b/o.kvx"});
    EXPECT_EQ(broken.mode, CommandLine::Mode::Unattended);
    EXPECT_FALSE(broken.openFile);

    EXPECT_EQ(parse({"notes.txt"}).mode, CommandLine::Mode::Unattended);
    EXPECT_EQ(parse({"a.kvx", "b.kvx"}).mode, CommandLine::Mode::Unattended);
    EXPECT_EQ(parse({"--list-profiles", "a.kvx"}).mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(parse({"--inspect", "a.kvx"}).mode, CommandLine::Mode::Inspect);
}

TEST(FileArgument, WithoutADisplayTheFileStartIsRefusedAsTheWindowIs) {
    // Routed to the window, not to the unattended run: no log line, no archive.
    const CommandRun run = RunShell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                    std::string(TRELMIG_BINARY) + " /nonexistent/backup.kvx");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("there is no display for the main window"), std::string::npos)
        << run.output;
}
