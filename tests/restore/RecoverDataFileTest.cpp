#include "RestoreFixture.h"

#include "archive/ZipEntryNames.h"
#include "restore/RecoverDataFile.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace trelmig;
using namespace std::chrono;

class RecoverDataFileTest : public RestoreFixture {
protected:
    static constexpr year_month_day kDay{year{2026}, month{3}, day{7}};
    std::string dataFile;
    std::string folder;
    fs::path hostFolder;

    void SetUp() override {
        RestoreFixture::SetUp();
        backUp(items({ItemPersonalFolders}));
        ASSERT_TRUE(inspect(archive).accepted);
        const auto names = splitEntryList(inspected.entries.at("BackupDatas"));
        ASSERT_FALSE(names.empty());
        dataFile = names.front();
        folder = RecoveryFolder(*env, dataFile);
        hostFolder = *env->files.hostPath(folder);
    }
    Result<std::string> recover() {
        return RecoverDataFile(env->files, *zip, folder, dataFile, kDay);
    }
    // The data file as the backup was made of it.
    std::string original() const {
        for (const auto& found : fs::recursive_directory_iterator(source.driveC()))
            if (found.path().filename() == dataFile)
                return readWholeFile(found.path());
        return {};
    }
};

TEST_F(RecoverDataFileTest, LandsBesideTheLiveFileWholeAndNeverOverAFile) {
    ASSERT_TRUE(fs::is_regular_file(hostFolder / dataFile)) << "the live data file";
    const std::string live = readWholeFile(hostFolder / dataFile);
    const auto filesBefore = std::distance(fs::directory_iterator(hostFolder), {});
    const std::string stem = fs::path(dataFile).stem().string();
    const std::string ext = fs::path(dataFile).extension().string();
    // Someone's file under the first name stays as it is.
    const fs::path taken = hostFolder / (stem + " (recovered 2026-03-07)" + ext);
    std::ofstream(taken) << "mine";

    const auto first = recover();
    ASSERT_TRUE(first) << first.error().message;
    EXPECT_EQ(*first, folder + "\\" + stem + " (recovered 2026-03-07) (2)" + ext);
    const fs::path firstHost = hostFolder / (stem + " (recovered 2026-03-07) (2)" + ext);
    EXPECT_EQ(readWholeFile(firstHost), original());
    EXPECT_FALSE(original().empty());

    const auto second = recover();
    ASSERT_TRUE(second) << second.error().message;
    EXPECT_EQ(*second, folder + "\\" + stem + " (recovered 2026-03-07) (3)" + ext);
    EXPECT_EQ(readWholeFile(hostFolder / (stem + " (recovered 2026-03-07) (3)" + ext)), original());

    EXPECT_EQ(readWholeFile(taken), "mine");
    EXPECT_EQ(readWholeFile(hostFolder / dataFile), live);
    // The three new files and no staging file left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(hostFolder), {}), filesBefore + 3);
}

TEST_F(RecoverDataFileTest, NamesKeepTheExtensionAndAFailedExtractionLeavesNothing) {
    EXPECT_EQ(RecoveredName("Outlook.ost", kDay, 1), "Outlook (recovered 2026-03-07).ost");
    EXPECT_EQ(RecoveredName("a.b.pst", kDay, 4), "a.b (recovered 2026-03-07) (4).pst");
    const auto before = std::distance(fs::directory_iterator(hostFolder), {});
    const auto missing = RecoverDataFile(env->files, *zip, folder, "nothere.pst", kDay);
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message.find("nothere.pst"), std::string::npos);
    const auto outside = RecoverDataFile(env->files, *zip, folder, "..\\x.pst", kDay);
    EXPECT_FALSE(outside);
    EXPECT_EQ(std::distance(fs::directory_iterator(hostFolder), {}), before);
}
