// Real writes through libburn's stdio drive into image files, read back by
// the engine's verification and by xorriso.
#include "DiscTestSupport.h"

#include "disc/DiscTexts.h"
#include "disc/ImageFileDevice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <thread>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

class ImageFileWriteTest : public ::testing::Test {
protected:
    TempFolder dir;
    RecordingDiscEvents events;
    ImageFileDevice* device = new ImageFileDevice();
    std::unique_ptr<DiscEngine> engine = EngineWith({device});
    std::string target = (dir.path / "out.iso").string();

    void SetUp() override {
        ASSERT_TRUE(engine->InitializeDevices(false));
        engine->SetEvents(&events);
        engine->SetVolumeIdentifier("Outlook Data Backup CD");
        engine->settings.autoVerify = true;
        device->SetTargetFile(target);
    }

    // Writes and waits; the final write state.
    int Write() {
        if (!engine->StartWrite(*device))
            return -1;
        while (engine->Writing()) {
            engine->Poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return events.states.empty() ? -1 : events.states.back();
    }

    std::map<std::string, int> Verified() const {
        std::map<std::string, int> codes;
        for (const auto& [item, code] : events.verified)
            codes[item.imagePath] = code;
        return codes;
    }

    std::vector<std::string> LeftoverTemporaries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path))
            if (entry.path().filename().string().rfind(".out.iso.", 0) == 0)
                names.push_back(entry.path().filename().string());
        return names;
    }
};

TEST_F(ImageFileWriteTest, FoldersAndNonAsciiNamesAreWrittenVerifiedAndReadableByXorriso) {
    dir.Write("src/Mail/Persönlich ü.pst", std::string(300000, 'p'));
    dir.Write("src/Mail/Inbox/one.msg", "first message");
    dir.Write("src/empty.txt", "");
    const std::string archive = dir.Write("src/Backup 2024.kvx", std::string(70000, 'k'));
    DiscImage& image = engine->Image();
    ASSERT_TRUE(image.AddFolder((dir.path / "src/Mail").string(), "\\Mail"));
    ASSERT_TRUE(image.AddFile((dir.path / "src/empty.txt").string(), "\\empty.txt"));
    ASSERT_TRUE(image.AddFile(archive, "\\Backup 2024.kvx"));
    const double expectedSize = engine->ImageSize();

    EXPECT_EQ(Write(), kWriteCompleted);
    EXPECT_TRUE(events.errors.empty());
    EXPECT_EQ(events.states.front(), kWritePreparing);
    EXPECT_EQ(events.log,
              (std::vector<std::string>{"added \\Mail in \\", "added \\Mail\\Inbox in \\Mail",
                                        "verify start 4"}));
    EXPECT_EQ(Verified(), (std::map<std::string, int>{{"\\Backup 2024.kvx", kVerifyMatched},
                                                      {"\\Mail\\Inbox\\one.msg", kVerifyMatched},
                                                      {"\\Mail\\Persönlich ü.pst", kVerifyMatched},
                                                      {"\\empty.txt", kVerifyMatched}}));
    EXPECT_EQ(events.checked, 4);
    EXPECT_EQ(events.matched, 4);
    EXPECT_EQ(static_cast<double>(fs::file_size(target)), expectedSize)
        << "the size shown before the write is the size written";
    EXPECT_TRUE(LeftoverTemporaries().empty());

    if (!HaveXorriso())
        GTEST_SKIP() << "xorriso is not installed";
    const auto [listing, listed] = RunCommand("xorriso -indev " + Quoted(target) + " -find /");
    EXPECT_EQ(listed, 0) << listing;
    for (const char* path : {"'/Mail/Persönlich ü.pst'", "'/Mail/Inbox/one.msg'",
                             "'/Backup 2024.kvx'", "'/empty.txt'"})
        EXPECT_NE(listing.find(path), std::string::npos) << path << "\n" << listing;
    EXPECT_NE(listing.find("Volume id    : 'Outlook Data Backup CD'"), std::string::npos);
    const auto [check, checked] =
        RunCommand("xorriso -md5 on -indev " + Quoted(target) + " -check_md5_r sorry / --");
    EXPECT_EQ(checked, 0) << check;
    EXPECT_NE(check.find("File contents and their MD5 checksums match."), std::string::npos)
        << check;
    const auto [joliet, jolietRead] =
        RunCommand("xorriso -rockridge off -joliet on -indev " + Quoted(target) + " -find /Mail");
    EXPECT_NE(joliet.find("'/Mail/Persönlich ü.pst'"), std::string::npos) << joliet;
}

TEST_F(ImageFileWriteTest, SourcesChangedBeforeVerificationAreReportedAsMismatches) {
    const std::string changed = dir.Write("src/changed.bin", std::string(200000, 'a'));
    const std::string shortened = dir.Write("src/shortened.bin", std::string(5000, 'b'));
    const std::string kept = dir.Write("src/kept.bin", "kept");
    const std::string removed = dir.Write("src/removed.bin", "gone later");
    for (const auto& path : {changed, shortened, kept, removed})
        ASSERT_TRUE(engine->Image().AddFile(path, "\\" + fs::path(path).filename().string()));
    events.onVerifyStart = [&] {
        // One byte in the middle of the source, after the image was written.
        const int fd = ::open(changed.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "Z", 1, 123456), 1);
        ::close(fd);
        fs::resize_file(shortened, 4999);
        fs::remove(removed);
    };

    EXPECT_EQ(Write(), kWriteCompleted) << "verification problems do not end the write";
    EXPECT_EQ(Verified(), (std::map<std::string, int>{{"\\changed.bin", kVerifyContentMismatch},
                                                      {"\\kept.bin", kVerifyMatched},
                                                      {"\\removed.bin", kVerifySourceUnreadable},
                                                      {"\\shortened.bin", kVerifySizeMismatch}}));
    EXPECT_EQ(events.checked, 4);
    EXPECT_EQ(events.matched, 1);
}

TEST_F(ImageFileWriteTest, ASourceThatVanishedIsLeftOutAfterTheWarning) {
    const std::string here = dir.Write("src/here.txt", "here");
    const std::string gone = dir.Write("src/gone.txt", "gone");
    ASSERT_TRUE(engine->Image().AddFile(here, "\\here.txt"));
    ASSERT_TRUE(engine->Image().AddFile(gone, "\\gone.txt"));
    fs::remove(gone);
    struct Warned : RecordingDiscEvents {
        std::vector<FileErrorInfo> warnings;
        bool FileWarning(const FileErrorInfo& info) override {
            warnings.push_back(info);
            return true;
        }
    } warned;
    engine->SetEvents(&warned);
    ASSERT_TRUE(engine->StartWrite(*device));
    while (engine->Writing())
        engine->Poll();
    ASSERT_EQ(warned.warnings.size(), 1u);
    EXPECT_EQ(warned.warnings[0].fileName, gone);
    EXPECT_EQ(warned.warnings[0].code, ENOENT);
    EXPECT_EQ(warned.states.back(), kWriteCompleted);
    EXPECT_EQ(warned.checked, 2);
    EXPECT_EQ(warned.matched, 1);
    ASSERT_EQ(warned.verified.size(), 2u);
    EXPECT_EQ(warned.verified[0].first.imagePath, "\\gone.txt");
    EXPECT_EQ(warned.verified[0].second, kVerifySkipped);
}

TEST_F(ImageFileWriteTest, AnsweringNoToAFileWarningCancelsTheWrite) {
    const std::string gone = dir.Write("src/gone.txt", "gone");
    ASSERT_TRUE(engine->Image().AddFile(gone, "\\gone.txt"));
    fs::remove(gone);
    struct Refusing : RecordingDiscEvents {
        bool FileWarning(const FileErrorInfo&) override { return false; }
    } refusing;
    engine->SetEvents(&refusing);
    ASSERT_TRUE(engine->StartWrite(*device));
    while (engine->Writing())
        engine->Poll();
    EXPECT_EQ(refusing.states, (std::vector<int>{kWritePreparing, kWriteCancelled}));
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(ImageFileWriteTest, ACancelledWriteLeavesAnOlderImageAsItWas) {
    std::string pattern = (dir.path / "big.bin").string();
    { std::ofstream big(pattern, std::ios::binary); }
    fs::resize_file(pattern, 1ull << 30); // sparse: takes no room on the disk
    ASSERT_TRUE(engine->Image().AddFile(pattern, "\\big.bin"));
    dir.Write("out.iso", "an older image");
    ASSERT_TRUE(engine->StartWrite(*device));
    bool cancelled = false;
    while (engine->Writing()) {
        engine->Poll();
        if (!cancelled && !events.states.empty() && events.states.back() == kWriteProgress) {
            engine->CancelWrite();
            cancelled = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(events.states.back(), kWriteCancelled);
    EXPECT_TRUE(events.errors.empty()) << EngineErrorText(events.errors.front());
    EXPECT_EQ(ReadFile(target), "an older image");
    EXPECT_TRUE(LeftoverTemporaries().empty());
}

TEST_F(ImageFileWriteTest, UdfAloneIsRefusedWithAnExplanation) {
    engine->settings.fileSystemType = kFsUdf;
    EXPECT_FALSE(engine->StartWrite(*device));
    ASSERT_EQ(events.errors.size(), 1u);
    EXPECT_NE(EngineErrorText(events.errors[0]).find("UDF"), std::string::npos);
    EXPECT_FALSE(engine->Writing());
}

// A file over 4 GiB goes into several extents (ISO level 3). Slow: writes
// more than 4 GiB. Run with TRELMIG_SLOW_TESTS=1.
TEST_F(ImageFileWriteTest, SlowAFileOverFourGibibytesIsSplitAndReadBackWhole) {
    if (!std::getenv("TRELMIG_SLOW_TESTS"))
        GTEST_SKIP() << "set TRELMIG_SLOW_TESTS=1 to write a 4.3 GiB image";
    const std::string big = (dir.path / "src/Große Datei.pst").string();
    fs::create_directories(dir.path / "src");
    { std::ofstream out(big, std::ios::binary); }
    const std::uintmax_t size = (4ull << 30) + 300 * 1024 * 1024 + 7;
    fs::resize_file(big, size);
    for (std::uintmax_t at : {std::uintmax_t{0}, std::uintmax_t{(4ull << 30) - 1},
                              std::uintmax_t{4ull << 30}, std::uintmax_t{size - 1}}) {
        const int fd = ::open(big.c_str(), O_WRONLY);
        ASSERT_EQ(::pwrite(fd, "Q", 1, static_cast<off_t>(at)), 1);
        ::close(fd);
    }
    dir.Write("src/Brief für Anna.txt", "Hallo");
    ASSERT_TRUE(engine->Image().AddFolder((dir.path / "src").string(), "\\Daten"));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Write(), kWriteCompleted);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    std::cout << "image of " << fs::file_size(target) << " bytes written and verified in "
              << seconds << " s\n";
    EXPECT_EQ(events.checked, 2);
    EXPECT_EQ(events.matched, 2);

    if (!HaveXorriso())
        GTEST_SKIP() << "xorriso is not installed";
    const auto [listing, listed] =
        RunCommand("xorriso -indev " + Quoted(target) + " -find / -exec lsdl");
    std::cout << listing;
    EXPECT_NE(listing.find(std::to_string(size) + " "), std::string::npos) << listing;
    EXPECT_NE(listing.find("'/Daten/Große Datei.pst'"), std::string::npos);
    EXPECT_NE(listing.find("'/Daten/Brief für Anna.txt'"), std::string::npos);
    const auto [extents, reported] =
        RunCommand("xorriso -indev " + Quoted(target) + " -find /Daten -type f -exec report_lba");
    std::cout << extents;
    size_t pieces = 0;
    for (size_t at = extents.find("'/Daten/Große Datei.pst'"); at != std::string::npos;
         at = extents.find("'/Daten/Große Datei.pst'", at + 1))
        ++pieces;
    EXPECT_GE(pieces, 2u) << "ISO level 3 keeps each extent under 4 GiB";
    const auto [check, checked] =
        RunCommand("xorriso -md5 on -indev " + Quoted(target) + " -check_md5_r sorry / --");
    std::cout << check;
    EXPECT_EQ(checked, 0);
    EXPECT_NE(check.find("File contents and their MD5 checksums match."), std::string::npos);
}

TEST(WriteIsoCommand, WritesVerifiesAndSaysSo) {
    TempFolder dir;
    dir.Write("data/a.txt", "a");
    dir.Write("data/sub/Persönlich.pst", "pst");
    const std::string kvx = dir.Write("Backup.kvx", "kvx");
    const std::string out = (dir.path / "out.iso").string();
    const auto [text, code] = RunCommand(std::string(TRELMIG_BINARY) + " --write-iso " +
                                         Quoted(out) + " --volume 'Mail 2024' " +
                                         Quoted((dir.path / "data").string()) + " " + Quoted(kvx));
    EXPECT_EQ(code, 0) << text;
    EXPECT_NE(text.find("Auto-Verify...Complete (3 of 3 MATCHED)"), std::string::npos) << text;
    EXPECT_NE(text.find("Write Completed!"), std::string::npos) << text;
    if (HaveXorriso()) {
        const auto [listing, listed] = RunCommand("xorriso -indev " + Quoted(out) + " -find /");
        EXPECT_NE(listing.find("Volume id    : 'Mail 2024'"), std::string::npos) << listing;
        EXPECT_NE(listing.find("'/data/sub/Persönlich.pst'"), std::string::npos) << listing;
        EXPECT_NE(listing.find("'/Backup.kvx'"), std::string::npos) << listing;
    }

    const auto [missing, missingCode] =
        RunCommand(std::string(TRELMIG_BINARY) + " --write-iso " + Quoted(out) + " " +
                   Quoted((dir.path / "nothing").string()));
    EXPECT_EQ(missingCode, 2) << missing;
    const auto [twice, twiceCode] = RunCommand(std::string(TRELMIG_BINARY) + " --write-iso " +
                                               Quoted(out) + " " + Quoted(kvx) + " " + Quoted(kvx));
    EXPECT_EQ(twiceCode, 2) << "two sources under one name: " << twice;
    const auto [none, noneCode] =
        RunCommand(std::string(TRELMIG_BINARY) + " --write-iso " + Quoted(out));
    EXPECT_EQ(noneCode, 2) << none;
}

} // namespace

TEST_F(ImageFileWriteTest, TheFailuresOfTheImageFileDeviceCarryTheirCategoryAndFile) {
    ImageFileDevice unnamed;
    IsoImageBuilder builder(IsoBuildOptions{});
    const auto noImage = builder.CreateStream();
    ASSERT_FALSE(noImage.has_value());
    EXPECT_EQ(noImage.error().message, "No image was built.");

    std::vector<DiscItem> leftOut;
    ASSERT_TRUE(builder.Build({}, {}, leftOut).has_value());
    const auto refused = unnamed.BeginWrite(*builder.CreateStream(), WriteOptions{});
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().category, kErrorOutputFile);
    EXPECT_EQ(refused.error().description, "No image file named.");
    EXPECT_FALSE(unnamed.OpenWritten().has_value());
    EXPECT_TRUE(unnamed.EndWrite(true).has_value()) << "nothing was begun, nothing to end";

    // A target in a folder that is not there fails before libburn is asked.
    ImageFileDevice nowhere;
    nowhere.SetTargetFile((dir.path / "missing/out.iso").string());
    ASSERT_TRUE(builder.Build({}, {}, leftOut).has_value());
    const auto failed = nowhere.BeginWrite(*builder.CreateStream(), WriteOptions{});
    ASSERT_FALSE(failed.has_value());
    EXPECT_EQ(failed.error().category, kErrorOutputFile);
    EXPECT_EQ(failed.error().file.fileName, (dir.path / "missing/out.iso").string());
}
