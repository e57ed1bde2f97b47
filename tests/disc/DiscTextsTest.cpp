#include "disc/DiscTexts.h"
#include "disc/MediaProfiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace trelmig;

namespace {

TEST(DiscTexts, MegabytesHaveTwoDecimalsAndNoGrouping) {
    EXPECT_EQ(FormatMegabytes(0), "0.00 MB");
    EXPECT_EQ(FormatMegabytes(1572864), "1.50 MB");
    EXPECT_EQ(FormatMegabytes(5000), "0.00 MB");
    EXPECT_EQ(FormatMegabytes(6000), "0.01 MB") << "rounded, not cut";
    EXPECT_EQ(FormatMegabytes(4.7e9), "4482.27 MB");
    EXPECT_EQ(FormatMegabytes(1572864, {".", ","}), "1,50 MB");
    EXPECT_EQ(MegabyteNumber(734003200), "700.00");
}

TEST(DiscTexts, TheSizeColumnCountsThousandsOfBytesGrouped) {
    EXPECT_EQ(FormatKilobytes(1234567), "1,234.57 KB");
    EXPECT_EQ(FormatKilobytes(0), "0.00 KB");
    EXPECT_EQ(FormatKilobytes(999), "1.00 KB");
    EXPECT_EQ(FormatKilobytes(4613734400.0), "4,613,734.40 KB");
    EXPECT_EQ(FormatKilobytes(1234567, {".", ","}), "1.234,57 KB");
    EXPECT_EQ(FormatKilobytes(1234567, {"\xc2\xa0", ","}), "1\xc2\xa0"
                                                           "234,57 KB");
}

TEST(DiscTexts, TheDateColumnIsMonthDayYearWithTwelveHourTime) {
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(FormatFileDate(1709820309), "03/07/2024 02:05:09 PM");
    EXPECT_EQ(FormatFileDate(1709769600), "03/07/2024 12:00:00 AM");
    EXPECT_EQ(FormatFileDate(1709812800), "03/07/2024 12:00:00 PM");
    unsetenv("TZ");
    tzset();
}

TEST(DiscTexts, SpeedMultiplesShowOneDecimalWithoutALeadingZero) {
    EXPECT_EQ(FormatSpeedMultiple(4), "4.0x");
    EXPECT_EQ(FormatSpeedMultiple(16), "16.0x");
    EXPECT_EQ(FormatSpeedMultiple(0.5), ".5x");
    EXPECT_EQ(FormatSpeedMultiple(2.4), "2.4x");
    EXPECT_EQ(FormatSpeedMultiple(7056.0 / 176.4), "40.0x");
}

TEST(DiscTexts, WriteStatesSetThePanelOrMoveTheBar) {
    const std::map<int, std::string> texts = {
        {0, "Preparing Image...."},  {4, "Closing Track...."},   {5, "Writing Lead-in...."},
        {6, "Writing Lead-out...."}, {8, "Updating Volume...."}, {9, "Write Completed!"},
        {10, "Write Cancelled...."}, {11, "Write Error!"}};
    for (int state = 0; state <= 12; ++state) {
        const auto text = WriteStateText(state);
        const auto it = texts.find(state);
        if (it == texts.end())
            EXPECT_FALSE(text) << state;
        else
            EXPECT_EQ(text.value_or("(none)"), it->second) << state;
        EXPECT_EQ(WriteStateMovesProgress(state), state >= 1 && state <= 3) << state;
    }
    EXPECT_EQ(WriteCompletedMessage(true), "Write and Verify Complete!");
    EXPECT_EQ(WriteCompletedMessage(false), "Write Complete!");
}

TEST(DiscTexts, VerifyMessagesForProblemsOnly) {
    DiscItem item;
    item.imagePath = "\\Mail\\Archive.kvx";
    item.sourcePath = "/home/u/Archive.kvx";
    const std::string tail = "\n\\Mail\\Archive.kvx (disc)\n/home/u/Archive.kvx (source)";
    EXPECT_EQ(VerifyMessage(0, item).value_or(""),
              "Verify Error - Could not read Source file from disc: " + tail);
    EXPECT_EQ(VerifyMessage(1, item).value_or(""),
              "Verify Error - Could not read Destination file from disc: " + tail);
    EXPECT_EQ(VerifyMessage(2, item).value_or(""),
              "Verify Error - Source and Destination file did not match: " + tail);
    EXPECT_EQ(VerifyMessage(5, item).value_or(""),
              "Verify Error - Size of Source and Destination file did not match: " + tail);
    EXPECT_FALSE(VerifyMessage(3, item));
    EXPECT_FALSE(VerifyMessage(4, item));

    EXPECT_EQ(VerifyStartText(12), "Auto-Verify... 12 new files.");
    EXPECT_EQ(VerifyStepText("\\a.txt"), "Auto-Verify... \\a.txt");
    EXPECT_EQ(VerifyDoneText(12, 11), "Auto-Verify...Complete (11 of 12 MATCHED)");
}

TEST(DiscTexts, VerifyProgressRoundsHalvesToEven) {
    EXPECT_EQ(VerifyProgress(1, 8), 12); // 12.5
    EXPECT_EQ(VerifyProgress(3, 8), 38); // 37.5
    EXPECT_EQ(VerifyProgress(1, 3), 33);
    EXPECT_EQ(VerifyProgress(2, 3), 67);
    EXPECT_EQ(VerifyProgress(1, 200), 0); // 0.5
    EXPECT_EQ(VerifyProgress(3, 200), 2); // 1.5
    EXPECT_EQ(VerifyProgress(4, 4), 100);
    EXPECT_EQ(VerifyProgress(0, 0), 0);
}

TEST(DiscTexts, EngineErrorTextForEveryCategory) {
    DiscError error;
    error.device = {42, "Write error", "HL-DT-ST DVDRAM", "5 0C 00"};
    error.file = {2, "No such file or directory", "/home/u/a.txt"};
    error.systemCode = 12;
    error.description = "Out of memory";

    error.category = kErrorDevice;
    EXPECT_EQ(EngineErrorText(error),
              "Device Error: (42)   Write error\nHL-DT-ST DVDRAM - 5 0C 00");
    error.category = kErrorOutputFile;
    EXPECT_EQ(EngineErrorText(error),
              "Output File Error: (2)   No such file or directory\n'/home/u/a.txt'");
    error.category = kErrorSourceFile;
    EXPECT_EQ(EngineErrorText(error),
              "Source File Error: (2)   No such file or directory\n'/home/u/a.txt'");
    error.category = kErrorSystem;
    EXPECT_EQ(EngineErrorText(error), "System Error: (12)   Out of memory");
    error.category = 4;
    EXPECT_EQ(EngineErrorText(error), "Write Error: (4)   Out of memory");
    error.category = 9;
    EXPECT_EQ(EngineErrorText(error), "Write Error: (9)   Out of memory");

    EXPECT_EQ(EraseDeviceErrorText(error.device),
              "Device Error: (42)   Write error\n(5 0C 00) HL-DT-ST DVDRAM");
}

TEST(DiscTexts, TrackWarningSpaceAndReplaceTexts) {
    EXPECT_EQ(TrackStatusText(1, 12, "ISO9660"), "Track: 01 - Reading...12 - ISO9660");
    EXPECT_EQ(TrackStatusText(123, 0, "x"), "Track: 123 - Reading...0 - x");
    EXPECT_EQ(FileWarningText({13, "Permission denied", "/a/b.txt"}),
              "File Warning(13):/a/b.txt\nPermission denied");
    EXPECT_EQ(MediaSpaceMessage(734003200, 1572864000),
              "Free Space on the loaded disc is 700.00 MB!\nThis data image requires 1500.00 MB "
              "of Free Space!");
    EXPECT_EQ(ReplaceQuestionText("\\Archive.kvx", "/home/u/Archive.kvx"),
              "A file already exists in the image: \n\\Archive.kvx\nWould you like to replace it "
              "with: \n/home/u/Archive.kvx ?");
}

TEST(MediaProfiles, TheErasablePairsComeFromTheirProfiles) {
    // The erase window's pairs: capability and media type of the same medium.
    const std::pair<int, int> profileToType[] = {
        {0x13, 253}, {0x14, 4}, {0x0a, 1}, {0x1a, 9}, {0x43, 15}};
    const int capabilities[] = {17, 19, 22, 23, 27};
    for (size_t i = 0; i < 5; ++i) {
        const MediaProfile* profile = FindMediaProfile(profileToType[i].first);
        ASSERT_NE(profile, nullptr);
        EXPECT_EQ(profile->mediaType, profileToType[i].second);
        EXPECT_EQ(profile->eraseCapability, capabilities[i]);
        EXPECT_TRUE(profile->rewritable);
        EXPECT_TRUE(DriveHasEraseCapability({0x08, profileToType[i].first}, capabilities[i]));
        EXPECT_FALSE(DriveHasEraseCapability({0x08, 0x09, 0x11}, capabilities[i]));
    }
    EXPECT_FALSE(DriveHasEraseCapability({0x0a}, 57));
}

TEST(MediaProfiles, MediaObjectsFollowTheDiscStatus) {
    EXPECT_EQ(MediaOf(0x09, DiscStatus::Empty).type, kMediaNone);
    const DiscMedia blankCdR = MediaOf(0x09, DiscStatus::Blank);
    EXPECT_EQ(blankCdR.type, kMediaCdR);
    EXPECT_TRUE(blankCdR.writable);
    EXPECT_FALSE(blankCdR.rewritable);
    const DiscMedia fullCdRw = MediaOf(0x0a, DiscStatus::Full);
    EXPECT_EQ(fullCdRw.type, kMediaCdRw);
    EXPECT_FALSE(fullCdRw.writable) << "to be erased first";
    EXPECT_TRUE(fullCdRw.rewritable);
    EXPECT_TRUE(MediaOf(0x1b, DiscStatus::Appendable).writable);
    EXPECT_FALSE(MediaOf(0x10, DiscStatus::Full).writable) << "DVD-ROM";
    EXPECT_EQ(MediaOf(0x4242, DiscStatus::Blank).type, kMediaUnknown);
    EXPECT_FALSE(MediaOf(0x4242, DiscStatus::Blank).writable);
    EXPECT_EQ(MediaOf(0xffff, DiscStatus::Blank).type, kMediaImageFile);
    EXPECT_DOUBLE_EQ(BaseSpeedOfProfile(0x1a), 1385.0);
    EXPECT_DOUBLE_EQ(BaseSpeedOfProfile(0x43), 4495.5);
    EXPECT_DOUBLE_EQ(BaseSpeedOfProfile(-1), 176.4);
}

} // namespace
