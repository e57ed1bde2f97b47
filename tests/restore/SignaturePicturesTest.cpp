// An HTML signature keeps its pictures in the folder beside it that it links
// to; a backup takes those folders and a restore puts them back, so that a
// restored signature still shows its pictures.
#include "RestoreSuite.h"

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

fs::path signaturesOf(const SamplePrefixCopy& prefix) {
    return prefix.userFolder() / "AppData/Roaming/Microsoft/Signatures";
}

} // namespace

TEST_P(RestoreSuite, SignaturePicturesComeBackIntoTheFoldersTheirSignaturesLinkTo) {
    // Word's English folder, and a German one holding a picture of the same name.
    const fs::path from = signaturesOf(source);
    std::ofstream(from / "Karte.htm")
        << "<html><body><img src=\"Karte-Dateien/image001.jpg\"></body></html>";
    fs::create_directories(from / "Karte-Dateien");
    std::ofstream(from / "Karte-Dateien/image001.jpg") << "JPEG of the card";
    backUp(items({2}));

    const fs::path to = signaturesOf(target);
    fs::remove_all(to);
    ASSERT_TRUE(inspect(archive).accepted);
    const RestoreRunResult result = restore(items({2}));
    EXPECT_TRUE(result.allSucceeded) << result.log;

    EXPECT_EQ(readWholeFile(to / "Karte.htm"), readWholeFile(from / "Karte.htm"));
    EXPECT_EQ(readWholeFile(to / "Karte-Dateien/image001.jpg"), "JPEG of the card");
    // And the pictures of the signatures the prefix came with.
    int pictures = 0;
    for (const auto& e : fs::recursive_directory_iterator(from)) {
        if (!e.is_regular_file() || !e.path().parent_path().filename().string().ends_with("_files"))
            continue;
        const fs::path file = fs::relative(e.path(), from);
        EXPECT_EQ(readWholeFile(to / file), readWholeFile(e.path())) << file;
        ++pictures;
    }
    EXPECT_GE(pictures, 2);
    // Nothing stray: the picture entries do not land beside the signatures.
    for (const auto& e : fs::directory_iterator(to))
        EXPECT_EQ(e.path().filename().string().find('|'), std::string::npos) << e.path();
}

TEST_P(RestoreSuite, APictureEntryNamingAPathIsRefused) {
    writeRawZip(archive, {{"vastrel.dat", "BackupComputer=X\r\nBackupItem=0000100000\r\n"
                                          "BackupSignatures=a.txt\r\n"
                                          "BackupSignatureFolders=..|evil.txt\r\n"},
                          {"a.txt", "a"},
                          {"..|evil.txt", "evil"}});
    ASSERT_TRUE(inspect(archive).accepted);
    EXPECT_FALSE(restore(items({2})).allSucceeded);
    EXPECT_FALSE(fs::exists(signaturesOf(target).parent_path() / "evil.txt"));
    EXPECT_FALSE(fs::exists(signaturesOf(target) / "..|evil.txt"));
}
