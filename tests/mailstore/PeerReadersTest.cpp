// The folder tree, counts and subjects we read from the sample data files,
// against what readpst and pffexport read from them.
#include "PstSamples.h"
#include "mailstore/PffMailStore.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <vector>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

using FolderCounts = std::map<std::string, std::uint64_t>;

struct Sample {
    std::string file;
    // Where readpst's top folder (the store, holding what Outlook shows) is in our tree.
    std::string shownTop;
};

std::unique_ptr<MailStore> Open(const std::string& file) {
    auto store = OpenPffFile(PstSample(file), file);
    EXPECT_TRUE(store) << (store ? "" : store.error().message);
    return store ? std::move(*store) : nullptr;
}

FolderCounts OurCounts(const MailStore& store) {
    FolderCounts counts;
    for (const MailFolder& folder : store.folders()) {
        if (folder.depth > 0)
            counts[folder.path] = folder.messageCount;
    }
    return counts;
}

// pffexport writes a '~' of a folder name as '_' in the folder it makes.
FolderCounts AsPffexportNames(const FolderCounts& ours) {
    FolderCounts renamed;
    for (const auto& [path, count] : ours) {
        std::string name = path;
        std::ranges::replace(name, '~', '_');
        renamed[name] = count;
    }
    return renamed;
}

bool IsItemFolder(const std::string& name) {
    static const std::regex item("[A-Z][a-z]+[0-9]{5}");
    return std::regex_match(name, item);
}

// pffexport writes a folder per folder and, inside it, one per item
// ("Message00001", "Appointment00003", ...), whose attachments go deeper.
void CountPffexportFolder(const fs::path& folder, const std::string& path, FolderCounts& counts) {
    std::uint64_t items = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_directory())
            continue;
        const std::string name = entry.path().filename().string();
        if (IsItemFolder(name))
            ++items;
        else
            CountPffexportFolder(entry.path(), path.empty() ? name : path + "/" + name, counts);
    }
    if (!path.empty())
        counts[path] = items;
}

FolderCounts PffexportCounts(const std::string& file, const fs::path& scratch) {
    const CommandRun run = RunShell("pffexport -q -m all -f all -t " + Quoted(scratch / "x") + " " +
                                    Quoted(PstSample(file)));
    EXPECT_EQ(run.status, 0) << run.output;
    FolderCounts counts;
    CountPffexportFolder(scratch / "x.export", "", counts);
    return counts;
}

// readpst -M writes each item as a file numbered from 1, in a folder per
// folder under one named after the store; it leaves out empty folders.
FolderCounts ReadpstCounts(const std::string& file, const std::string& shownTop,
                           const fs::path& scratch) {
    const CommandRun run =
        RunShell("readpst -D -M -j0 -q -o " + Quoted(scratch) + " " + Quoted(PstSample(file)));
    EXPECT_EQ(run.status, 0) << run.output;
    static const std::regex numbered("[0-9]+");
    FolderCounts counts;
    for (const auto& entry : fs::recursive_directory_iterator(scratch)) {
        if (!entry.is_regular_file() ||
            !std::regex_match(entry.path().filename().string(), numbered))
            continue;
        const std::string relative = fs::relative(entry.path().parent_path(), scratch).string();
        const auto slash = relative.find('/');
        const std::string below = slash == std::string::npos ? "" : relative.substr(slash);
        ++counts[shownTop + below];
    }
    return counts;
}

// The folders whose counts differ, or that only one side has.
std::string Differences(const FolderCounts& ours, const FolderCounts& theirs) {
    std::string differences;
    for (const auto& [path, count] : ours) {
        const auto it = theirs.find(path);
        if (it == theirs.end() || it->second != count)
            differences += path + ": ours " + std::to_string(count) + ", theirs " +
                           (it == theirs.end() ? "none" : std::to_string(it->second)) + "\n";
    }
    for (const auto& [path, count] : theirs) {
        if (!ours.contains(path))
            differences += path + ": ours none, theirs " + std::to_string(count) + "\n";
    }
    return differences;
}

class PeerReadersTest : public ::testing::TestWithParam<Sample> {};

TEST_P(PeerReadersTest, FolderTreeAndCountsEqualPffexportAndReadpst) {
    SKIP_WITHOUT_PST_SAMPLE(GetParam().file);
    SKIP_WITHOUT_PROGRAM("pffexport");
    SKIP_WITHOUT_PROGRAM("readpst");
    const auto store = Open(GetParam().file);
    ASSERT_TRUE(store);
    const FolderCounts ours = OurCounts(*store);
    const ScratchFolder pff, readpst;
    EXPECT_EQ(Differences(AsPffexportNames(ours), PffexportCounts(GetParam().file, pff.path())),
              "");

    // readpst shows what is below the store's top folder and skips empty folders.
    FolderCounts oursShown;
    for (const auto& [path, count] : ours) {
        if (count > 0 &&
            (path == GetParam().shownTop || path.starts_with(GetParam().shownTop + "/")))
            oursShown[path] = count;
    }
    EXPECT_FALSE(oursShown.empty());
    EXPECT_EQ(
        Differences(oursShown, ReadpstCounts(GetParam().file, GetParam().shownTop, readpst.path())),
        "");
}

INSTANTIATE_TEST_SUITE_P(
    Samples, PeerReadersTest,
    ::testing::Values(Sample{"enron.pst", "Top of Personal Folders"},
                      Sample{"pstextractortest@outlook.com.ost", "Root - Mailbox/IPM_SUBTREE"},
                      Sample{"pstextractortestpdf@outlook.com.ost", "Root - Mailbox/IPM_SUBTREE"}),
    [](const auto& info) { return "File" + std::to_string(info.index); });

// The subject line of each item pffexport wrote for a folder.
std::vector<std::string> PffexportSubjects(const fs::path& folder) {
    std::vector<std::string> subjects;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_directory() || !IsItemFolder(entry.path().filename().string()))
            continue;
        std::ifstream headers(entry.path() / "OutlookHeaders.txt");
        std::string subject, line;
        while (std::getline(headers, line)) {
            if (line.starts_with("Subject:")) {
                const auto value = line.find_first_not_of('\t', 8);
                subject = value == std::string::npos ? "" : line.substr(value);
                break;
            }
        }
        subjects.push_back(subject);
    }
    std::ranges::sort(subjects);
    return subjects;
}

TEST(PeerReadersSubjectsTest, SubjectsOfAFolderEqualPffexports) {
    SKIP_WITHOUT_PST_SAMPLE("enron.pst");
    SKIP_WITHOUT_PROGRAM("pffexport");
    const auto store = Open("enron.pst");
    ASSERT_TRUE(store);
    const std::string path = "Top of Personal Folders/lokay-m/MLOKAY (Non-Privileged)/Personal";
    const auto folder = std::ranges::find(store->folders(), path, &MailFolder::path);
    ASSERT_NE(folder, store->folders().end());
    std::vector<std::string> ours;
    ASSERT_TRUE(store->ForEachMessage(folder->id, [&](const MessageSummary& message) {
        ours.push_back(message.subject);
        return true;
    }));
    std::ranges::sort(ours);
    ASSERT_EQ(ours.size(), 47u);
    const ScratchFolder pff;
    PffexportCounts("enron.pst", pff.path());
    EXPECT_EQ(ours, PffexportSubjects(pff.path() / "x.export" / path));
}

} // namespace
