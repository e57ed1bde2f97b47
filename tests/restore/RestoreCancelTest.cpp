// A restore's bar, which follows the bytes extracted, and its Cancel: the
// item at work changes nothing, the items before it stay restored and are
// reported.
#include "RestoreSuite.h"

#include "core/CancelToken.h"

#include <algorithm>
#include <map>
#include <vector>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

std::map<std::string, std::string> filesUnder(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && !entry.is_symlink())
            files[fs::relative(entry.path(), root).string()] = readWholeFile(entry.path());
    return files;
}

// Sets the token when the run shows the given text (status or file label).
struct CancelAtText : SilentProgress {
    CancelToken& token;
    std::string text;
    CancelAtText(CancelToken& token, std::string text) : token(token), text(std::move(text)) {}
    void SetStatusText(const std::string& t) override { check(t); }
    void SetItemText(const std::string& t) override { check(t); }
    void SetByteProgress(ByteWork, const std::string& item, std::uint64_t, std::uint64_t) override {
        check(item);
    }
    void check(const std::string& t) {
        if (t == text)
            token.Cancel();
    }
};

// Every byte report of a run.
struct ByteReports : SilentProgress {
    struct Report {
        ByteWork work;
        std::string item;
        std::uint64_t done, total;
    };
    std::vector<Report> reports;
    void SetByteProgress(ByteWork work, const std::string& item, std::uint64_t done,
                         std::uint64_t total) override {
        reports.push_back({work, item, done, total});
    }
};

} // namespace

class RestoreCancelTest : public RestoreSuite {
protected:
    RestoreRunResult restoreCancelledAt(const std::string& text) {
        CancelToken token;
        CancelAtText view(token, text);
        RestoreDriver driver(*env, *zip, prompter, view);
        return driver.RunRestore(
            inspected, {"Work", items({ItemPersonalFolders, ItemAccounts, ItemSignatures})},
            &token);
    }
};

TEST_P(RestoreCancelTest, CancelledInsideAnExtractionNothingChanges) {
    backUp(items({ItemPersonalFolders, ItemAccounts, ItemSignatures}));
    ASSERT_TRUE(inspect(archive).accepted);
    const auto before = filesUnder(target.root);

    // In Outlook 2010, Archive.pst is already extracted beside its place when
    // Outlook.pst stops.
    const RestoreRunResult r = restoreCancelledAt(GetParam().dataFile);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.allSucceeded);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "The Restore was cancelled. The item at work when it stopped, and those after it, "
              "were left as they were.");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(filesUnder(target.root), before); // no file changed, none left beside
}

TEST_P(RestoreCancelTest, CancelledAtALaterItemTheEarlierOnesAreReported) {
    backUp(items({ItemPersonalFolders, ItemAccounts, ItemSignatures}));
    ASSERT_TRUE(inspect(archive).accepted);
    const fs::path signatures = target.userFolder() / "AppData/Roaming/Microsoft/Signatures";
    const auto signaturesBefore = filesUnder(signatures);

    const RestoreRunResult r = restoreCancelledAt("Copying Accounts...");
    EXPECT_TRUE(r.cancelled);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "The Restore was cancelled. The item at work when it stopped, and those after it, "
              "were left as they were; these had been restored before:\r\nRestore Personal "
              "Folders\t\tsucceeded!\t");
    EXPECT_EQ(filesUnder(signatures), signaturesBefore); // never started
}

TEST_P(RestoreCancelTest, TheBarFollowsTheBytesExtracted) {
    backUp(items({ItemPersonalFolders, ItemSignatures}));
    ASSERT_TRUE(inspect(archive).accepted);
    struct : SilentProgress {
        std::vector<int> values;
        void SetBarValue(int v) override { values.push_back(v); }
    } bar;
    RestoreDriver driver(*env, *zip, prompter, bar);
    ASSERT_TRUE(driver.RunRestore(inspected, {"Work", items({ItemPersonalFolders, ItemSignatures})})
                    .allSucceeded);
    ASSERT_GE(bar.values.size(), 4u);
    EXPECT_EQ(bar.values.back(), 0); // reset once the panel is gone
    const std::vector<int> run(bar.values.begin(), bar.values.end() - 1);
    EXPECT_TRUE(std::is_sorted(run.begin(), run.end()));
    EXPECT_EQ(run.back(), 100);
    // A step between: the bytes are passed on as entries start and every tenth
    // of a second, so how many steps a small restore shows depends on the
    // machine's speed, but not whether it shows one.
    EXPECT_GE(std::count_if(run.begin(), run.end(), [](int v) { return v > 0 && v < 100; }), 1);
}

// The panel is told which file is unpacked and how far the whole restore is,
// in bytes, rising to the total of the entries restored.
TEST_P(RestoreCancelTest, ARestoreReportsItsFilesAndBytesUpToTheTotal) {
    backUp(items({ItemPersonalFolders, ItemSignatures}));
    ASSERT_TRUE(inspect(archive).accepted);
    ByteReports view;
    RestoreDriver driver(*env, *zip, prompter, view);
    ASSERT_TRUE(driver.RunRestore(inspected, {"Work", items({ItemPersonalFolders, ItemSignatures})})
                    .allSucceeded);
    ASSERT_FALSE(view.reports.empty());
    const std::uint64_t total = view.reports.front().total;
    EXPECT_GT(total, 0u);
    std::uint64_t last = 0;
    std::vector<std::string> items;
    for (const auto& r : view.reports) {
        EXPECT_EQ(r.work, ByteWork::Restoring);
        EXPECT_EQ(r.total, total);
        EXPECT_GE(r.done, last);
        last = r.done;
        if (items.empty() || items.back() != r.item)
            items.push_back(r.item);
    }
    EXPECT_EQ(last, total);
    EXPECT_NE(std::find(items.begin(), items.end(), GetParam().dataFile), items.end());
}

INSTANTIATE_TEST_SUITE_P(Prefixes, RestoreCancelTest, ::testing::Values(kOutlook2010, kOutlook2016),
                         [](const auto& info) { return std::string(info.param.name); });
