#include "SamplePrefixCopy.h"
#include "mailstore/PffMailStore.h"
#include "mailstore/PstSamples.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "RunShell.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class BrowseCommand : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_PST_SAMPLE("enron.pst");
        SKIP_WITHOUT_PST_SAMPLE("pstextractortest@outlook.com.ost");
        // The sample profile's data files become real ones.
        const fs::path outlook = sample_.userFolder() / "AppData/Local/Microsoft/Outlook";
        const auto over = fs::copy_options::overwrite_existing;
        fs::copy_file(PstSample("enron.pst"), outlook / "Outlook.pst", over);
        fs::copy_file(PstSample("pstextractortest@outlook.com.ost"), outlook / "Work.pst", over);
        fs::copy_file(PstSample("pstextractortest@outlook.com.ost"), outlook / "Archive.pst", over);
        archive_ = sample_.work.path() / "b.kvx";
        std::ofstream(sample_.work.path() / "pw.txt") << "secret\n";
        const CommandRun backup =
            RunShell(std::string(TRELMIG_BINARY) + " --prefix " + Quoted(sample_.root) +
                     " sf=Outlook xm=10100000 ps=secret bf=" + Quoted(archive_));
        ASSERT_EQ(backup.status, 0) << backup.output;
    }

    CommandRun Browse(const std::string& args) {
        return RunShell(std::string(TRELMIG_BINARY) + " --browse " + Quoted(archive_) +
                        " --password-file " + Quoted(sample_.work.path() / "pw.txt") + " " + args);
    }

    SamplePrefixCopy sample_;
    fs::path archive_;
};

TEST_F(BrowseCommand, PrintsEachDataFilesFolderTree) {
    const CommandRun run = Browse("");
    ASSERT_EQ(run.status, 0) << run.output;
    auto enron = trelmig::OpenPffFile(PstSample("enron.pst"), "enron.pst");
    ASSERT_TRUE(enron);
    std::vector<std::string> expected{"Outlook.pst"};
    for (const trelmig::MailFolder& folder : (*enron)->folders()) {
        if (folder.depth > 0)
            expected.push_back("  " + folder.path + " (" + std::to_string(folder.messageCount) +
                               " messages)");
    }
    const auto lines = Lines(run.output);
    const auto start = std::ranges::find(lines, "Outlook.pst");
    ASSERT_NE(start, lines.end()) << run.output;
    const std::vector<std::string> block(start, std::min(lines.end(), start + expected.size()));
    EXPECT_EQ(block, expected);
    EXPECT_NE(std::ranges::find(lines, "Work.pst"), lines.end()) << run.output;
}

TEST_F(BrowseCommand, ListsSearchesAndExportsAFolder) {
    const std::string personal =
        " --data-file outlook.PST --folder 'Top of Personal Folders/lokay-m/MLOKAY "
        "(Non-Privileged)/Personal'";
    const CommandRun list = Browse(personal);
    ASSERT_EQ(list.status, 0) << list.output;
    EXPECT_EQ(Lines(list.output).size(), 47u);
    for (const std::string& line : Lines(list.output))
        EXPECT_EQ(std::ranges::count(line, '\t'), 2) << line;

    const CommandRun found = Browse(" --data-file Outlook.pst --search 'cirque du soleil'");
    ASSERT_EQ(found.status, 0) << found.output;
    EXPECT_FALSE(found.output.empty());
    EXPECT_NE(found.output.find("Cirque du Soleil"), std::string::npos) << found.output;

    const fs::path out = sample_.work.path() / "out";
    fs::create_directory(out);
    const CommandRun mbox = Browse(personal + " --export " + Quoted(out) + " --as mbox");
    ASSERT_EQ(mbox.status, 0) << mbox.output;
    EXPECT_TRUE(fs::exists(out / "Personal.mbox")) << mbox.output;
    const CommandRun eml = Browse(personal + " --export " + Quoted(out));
    ASSERT_EQ(eml.status, 0) << eml.output;
    EXPECT_EQ(std::distance(fs::directory_iterator(out), {}), 48);
}

TEST_F(BrowseCommand, RefusesWhatItCannotDo) {
    EXPECT_EQ(Browse("--folder Inbox").status, 2);
    EXPECT_EQ(Browse("--data-file Outlook.pst --export /tmp").status, 2);
    EXPECT_EQ(Browse("--data-file Outlook.pst --folder x --export /tmp --as pdf").status, 2);
    EXPECT_EQ(Browse("--data-file Nothing.pst").status, 2);
    EXPECT_EQ(Browse("--data-file Outlook.pst --folder 'No such folder'").status, 2);
    EXPECT_EQ(RunShell(std::string(TRELMIG_BINARY) + " --verify x.kvx --folder Inbox").status, 2);
}

} // namespace
