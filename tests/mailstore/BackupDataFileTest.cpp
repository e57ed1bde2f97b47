#include "mailstore/BackupDataFile.h"
#include "archive/ZipArchive.h"

#include "../archive/ZipTestSupport.h"
#include "SampleDataFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace trelmig;
using namespace ziptest;

namespace {

std::vector<std::string> folderPaths(const MailStore& store) {
    std::vector<std::string> paths;
    for (const MailFolder& folder : store.folders())
        paths.push_back(folder.path + " " + std::to_string(folder.messageCount));
    return paths;
}

} // namespace

// The same store whether the backup's data file is read in place (our
// writer's, with its chunk index) or extracted first (Info-ZIP's zip, which
// deflates in one stream); the extracted copy goes with the store.
TEST(BackupDataFile, OpenedInPlaceOrFromAnExtractedCopy) {
    const std::string pst = EnronPst();
    if (pst.empty())
        GTEST_SKIP() << "no enron.pst (scripts/bootstrap pst fetches it)";
    ScratchFolder dir;
    std::filesystem::copy_file(pst, dir.file("Outlook.pst"));
    ZipFileList list;
    ASSERT_TRUE(Succeeded(list.AddFile(dir.file("Outlook.pst"))));
    ZipArchive ours(AnsiCodec(1252));
    ASSERT_TRUE(Succeeded(ours.WriteZip(dir.file("ours.kvx"), list, "secret")));
    const auto zipped = run("cd " + shellQuoted(dir.path().string()) +
                            " && zip -q -P secret other.kvx Outlook.pst");
    ASSERT_EQ(zipped.status, 0) << zipped.output;
    std::filesystem::create_directory(dir.path() / "work");

    std::vector<std::string> inPlace;
    for (const std::string archive : {"ours.kvx", "other.kvx"}) {
        SCOPED_TRACE(archive);
        ZipArchive zip(AnsiCodec(1252));
        ASSERT_TRUE(Succeeded(zip.OpenZip(dir.file(archive))));
        const auto files = BackupDataFiles(zip, "Outlook.pst");
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files[0].randomAccess, archive == "ours.kvx");

        EXPECT_FALSE(OpenBackupDataFile(dir.file(archive), files[0], "wrong", dir.path() / "work"));
        EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "work"));
        auto store = OpenBackupDataFile(dir.file(archive), files[0], "secret", dir.path() / "work");
        ASSERT_TRUE(Succeeded(store));
        EXPECT_EQ(std::filesystem::is_empty(dir.path() / "work"), files[0].randomAccess);
        const auto paths = folderPaths(**store);
        EXPECT_GT(paths.size(), 3u);
        if (inPlace.empty())
            inPlace = paths;
        EXPECT_EQ(paths, inPlace);
        store->reset();
        EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "work"));
    }
}
