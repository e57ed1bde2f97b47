// The archive writes each extracted entry under exactly the staging name the
// restore gives it, and renames nothing; StagedFiles alone puts the files in
// their places.
#include "archive/ZipArchive.h"
#include "platform/WorkFolder.h"
#include "restore/RetiredFiles.h"
#include "restore/StagedFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <zip.h>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

// Entries stored without compression, so that a changed byte of data fails
// the CRC and nothing before it.
void writeStoredZip(const fs::path& path,
                    const std::vector<std::pair<std::string, std::string>>& entries) {
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, content] : entries) {
        zip_source_t* src = zip_source_buffer(z, content.data(), content.size(), 0);
        const zip_int64_t index = zip_file_add(z, name.c_str(), src, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << zip_strerror(z);
        ASSERT_EQ(zip_set_file_compression(z, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0),
                  0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class StagedExtraction : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(out);
        writeStoredZip(archive, {{"a.htm", "new a"}, {"b.htm", newB}});
        std::ofstream(out / "b.htm") << "old b";
    }
    // b.htm's stored data with one byte changed: it fails its CRC.
    void damageB() {
        std::string bytes = contentOf(archive);
        const std::size_t at = bytes.find(newB);
        ASSERT_NE(at, std::string::npos);
        bytes[at + newB.size() / 2] = 'c';
        std::ofstream(archive, std::ios::binary | std::ios::trunc) << bytes;
    }

    WorkFolder work;
    const fs::path archive = work.path() / "backup.kvx";
    const fs::path out = work.path() / "out";
    const std::string newB = std::string(100000, 'b');
    const AnsiCodec ansi{1252};
};

} // namespace

TEST_F(StagedExtraction, AnEntryFailingItsCrcLeavesNothingUnderItsStagingOrItsFinalName) {
    damageB();
    ZipArchive zip(ansi);
    ASSERT_TRUE(zip.OpenZip(archive.string()));
    {
        StagedFiles staged;
        const fs::path stagedA = staged.add(out / "a.htm");
        const fs::path stagedB = staged.add(out / "b.htm");
        const Result<void> extracted =
            zip.ExtractEntriesTo({{"a.htm", stagedA.string()}, {"b.htm", stagedB.string()}});
        ASSERT_FALSE(extracted);
        EXPECT_EQ(extracted.error().message, "b.htm: The archive is damaged (CRC error).");
        // Not even the sound entry's file stays: the extraction is all or nothing.
        EXPECT_EQ(namesIn(out), std::vector<std::string>{"b.htm"});
    }
    EXPECT_EQ(contentOf(out / "b.htm"), "old b");
    EXPECT_EQ(namesIn(out), std::vector<std::string>{"b.htm"});
}

TEST_F(StagedExtraction, EntriesLandUnderTheirStagingNamesUntilStagedFilesCommitsThem) {
    ZipArchive zip(ansi);
    ASSERT_TRUE(zip.OpenZip(archive.string()));
    StagedFiles staged;
    const fs::path stagedA = staged.add(out / "a.htm");
    const fs::path stagedB = staged.add(out / "b.htm");
    const Result<void> extracted =
        zip.ExtractEntriesTo({{"a.htm", stagedA.string()}, {"b.htm", stagedB.string()}});
    ASSERT_TRUE(extracted) << extracted.error().message;
    // The archive wrote the names it was given and nothing else.
    std::vector<std::string> expected{"b.htm", stagedA.filename().string(),
                                      stagedB.filename().string()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(out), expected);
    EXPECT_EQ(contentOf(stagedA), "new a");
    EXPECT_EQ(contentOf(out / "b.htm"), "old b");

    RetiredFiles retired;
    ASSERT_TRUE(staged.commit(retired));
    EXPECT_EQ(contentOf(out / "a.htm"), "new a");
    EXPECT_TRUE(contentOf(out / "b.htm") == newB);
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"a.htm", "b.htm"}));
}
