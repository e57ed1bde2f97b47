#include "platform/WinFiles.h"
#include "platform/WorkFolder.h"

#include "ScopedEnv.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using trelmig::WinePrefix;
using trelmig::WinFiles;
using trelmig::WorkFolder;

namespace {

void writeText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "Z:\..." for a host path, through the prefix's z: -> / drive.
std::string onZ(const fs::path& host) {
    std::string text = "Z:" + host.string();
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
}

// A prefix laid out as Wine does it, with Bob's profile, a Documents folder
// linked into a home folder, and a few links that lead out of the prefix.
class WinFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = work.path() / "prefix";
        driveC = root / "drive_c";
        home = work.path() / "home";
        outside = work.path() / "outside";
        profile = driveC / "users" / "Bob";
        signatures = profile / "AppData" / "Roaming" / "Microsoft" / "Signatures";

        fs::create_directories(root / "dosdevices");
        fs::create_directory_symlink("../drive_c", root / "dosdevices" / "c:");
        fs::create_directory_symlink("/", root / "dosdevices" / "z:");
        writeText(signatures / "Work.htm", "<html>work</html>");
        writeText(signatures / "b.txt", "b");
        writeText(signatures / "Pers\xC3\xB6nlich.txt", "p");
        fs::create_directories(signatures / "Work_files");
        writeText(profile / "AppData" / "Local" / "Microsoft" / "Outlook" / "outlook.pst", "pst");
        fs::create_directories(profile / "AppData" / "Local" / "Temp");
        writeText(home / "Documents" / "Outlook Files" / "archive.pst", "archive");
        fs::create_directory_symlink(home / "Documents", profile / "Documents");

        writeText(outside / "secret.txt", "secret");
        fs::create_symlink(outside / "secret.txt", signatures / "evil.htm");
        fs::create_directory_symlink(outside, profile / "AppData" / "Roaming" / "Linked");

        // Wine links the shell folders into the user's home.
        homeVariable.emplace("HOME", home.string());
        files.emplace(WinePrefix(root));
    }

    WorkFolder work;
    std::optional<ScopedEnv> homeVariable;
    fs::path root, driveC, home, outside, profile, signatures;
    std::optional<WinFiles> files;
};

} // namespace

TEST_F(WinFilesTest, ComponentsMatchWithoutRegardToCase) {
    const fs::path realC = fs::canonical(driveC);
    EXPECT_EQ(files->hostPath("C:\\"), realC);
    EXPECT_EQ(files->hostPath("c:"), realC);
    EXPECT_EQ(files->hostPath("c:\\USERS\\bob\\appdata\\ROAMING\\microsoft\\signatures\\WORK.HTM"),
              realC / "users/Bob/AppData/Roaming/Microsoft/Signatures/Work.htm");
    EXPECT_EQ(files->hostPath("C:/users/bob//AppData/./Local/../Roaming/"),
              realC / "users/Bob/AppData/Roaming");
    EXPECT_EQ(files->hostPath("C:\\..\\..\\users"), realC / "users");
    EXPECT_EQ(files->hostPath("C:\\users\\Bob\\AppData\\Roaming\\Microsoft\\Signatures\\"
                              "PERS\xC3\x96NLICH.TXT"),
              realC / "users/Bob/AppData/Roaming/Microsoft/Signatures/Pers\xC3\xB6nlich.txt");
}

TEST_F(WinFilesTest, ExactNameIsPreferredAndMissingNamesAreKept) {
    fs::create_directories(profile / "Mixed");
    fs::create_directories(profile / "mixed");
    const fs::path realProfile = fs::canonical(profile);
    EXPECT_EQ(files->hostPath("C:\\users\\Bob\\mixed"), realProfile / "mixed");
    EXPECT_EQ(files->hostPath("C:\\users\\Bob\\Mixed"), realProfile / "Mixed");
    EXPECT_EQ(files->hostPath("C:\\Users\\BOB\\New Folder\\Sub\\File.TXT"),
              realProfile / "New Folder/Sub/File.TXT");
    // A file in the middle of the path: the rest is kept as written.
    EXPECT_EQ(files->hostPath("C:\\users\\bob\\appdata\\local\\microsoft\\outlook\\OUTLOOK.PST\\x"),
              realProfile / "AppData/Local/Microsoft/Outlook/outlook.pst/x");
}

TEST_F(WinFilesTest, LegacyJunctionNamesMapOntoWineFolders) {
    const fs::path realProfile = fs::canonical(profile);
    EXPECT_EQ(files->hostPath("C:\\users\\Bob\\Application Data\\Microsoft\\Signatures"),
              realProfile / "AppData/Roaming/Microsoft/Signatures");
    EXPECT_EQ(files->hostPath("C:\\users\\Bob\\local settings\\APPLICATION DATA\\Microsoft\\"
                              "Outlook\\outlook.pst"),
              realProfile / "AppData/Local/Microsoft/Outlook/outlook.pst");
    EXPECT_EQ(files->hostPath("C:\\users\\Bob\\Local Settings\\Temp"),
              realProfile / "AppData/Local/Temp");
    EXPECT_EQ(files->hostPath("C:\\users\\Bob\\My Documents\\Outlook Files\\archive.pst"),
              realProfile / "Documents/Outlook Files/archive.pst");
    EXPECT_TRUE(files->fileExists("C:\\users\\Bob\\My Documents\\Outlook Files\\archive.pst"));
    // The path Wine itself can open, for writing into the registry.
    EXPECT_EQ(files->canonicalPath("c:\\USERS\\bob\\Local Settings\\Application Data\\"
                                   "Microsoft\\Outlook\\New.pst"),
              "C:\\users\\Bob\\AppData\\Local\\Microsoft\\Outlook\\New.pst");
    EXPECT_EQ(files->canonicalPath("C:\\"), "C:\\");
    EXPECT_EQ(files->canonicalPath("\\\\server\\share"), std::nullopt);

    // Where the literal name exists it wins; where there is no AppData it is kept.
    fs::create_directories(profile / "Application Data");
    EXPECT_EQ(files->hostPath("C:\\users\\Bob\\application data"),
              realProfile / "Application Data");
    EXPECT_EQ(files->hostPath("C:\\users\\Application Data"),
              fs::canonical(driveC) / "users/Application Data");
}

TEST_F(WinFilesTest, OtherDrivesAndUnsupportedPaths) {
    EXPECT_EQ(files->hostPath(onZ(signatures / "b.txt")), fs::canonical(signatures / "b.txt"));
    EXPECT_TRUE(files->fileExists(onZ(outside / "secret.txt")));
    EXPECT_EQ(files->hostPath("\\\\server\\share\\file.pst"), std::nullopt);
    EXPECT_EQ(files->hostPath("//server/share"), std::nullopt);
    EXPECT_EQ(files->hostPath("\\users\\Bob"), std::nullopt);
    EXPECT_EQ(files->hostPath("users\\Bob"), std::nullopt);
    EXPECT_EQ(files->hostPath("C:users"), std::nullopt);
    EXPECT_EQ(files->hostPath("Q:\\data"), std::nullopt);
    EXPECT_EQ(files->hostPath(""), std::nullopt);
    EXPECT_FALSE(files->fileExists("\\\\server\\share\\file.pst"));
    EXPECT_TRUE(files->listFiles("\\\\server\\share").empty());
    EXPECT_FALSE(files->createFolder("\\\\server\\share\\new"));
}

TEST_F(WinFilesTest, QueriesFollowLinks) {
    const std::string sig = "C:\\users\\Bob\\Application Data\\Microsoft\\Signatures";
    EXPECT_TRUE(files->folderExists(sig));
    EXPECT_FALSE(files->fileExists(sig));
    EXPECT_TRUE(files->fileExists(sig + "\\work.htm"));
    EXPECT_FALSE(files->folderExists(sig + "\\work.htm"));
    EXPECT_FALSE(files->fileExists(sig + "\\missing.htm"));
    // Sub-folders are not listed; the link to a file is a file.
    EXPECT_EQ(files->listFiles(sig),
              (std::vector<std::string>{"b.txt", "evil.htm", "Pers\xC3\xB6nlich.txt", "Work.htm"}));
    EXPECT_TRUE(files->listFiles(sig + "\\missing").empty());
    EXPECT_TRUE(files->listFiles(sig + "\\b.txt").empty());
    EXPECT_EQ(files->listFiles("C:\\users\\Bob\\Documents\\Outlook Files"),
              std::vector<std::string>{"archive.pst"});

    EXPECT_EQ(files->fileSize(sig + "\\work.htm"), 17u);
    EXPECT_EQ(files->fileSize(sig), std::nullopt);
    EXPECT_EQ(files->fileSize(sig + "\\missing.htm"), std::nullopt);
    EXPECT_EQ(files->readFile(sig + "\\WORK.htm"), "<html>work</html>");
    EXPECT_EQ(files->readFile(sig + "\\evil.htm"), "secret");
    EXPECT_EQ(files->readFile(sig + "\\missing.htm"), std::nullopt);
    EXPECT_EQ(files->readFile(sig), std::nullopt);

    std::ifstream in = files->openForReading(sig + "\\B.TXT");
    ASSERT_TRUE(in.is_open());
    std::string text;
    in >> text;
    EXPECT_EQ(text, "b");
    EXPECT_FALSE(files->openForReading(sig + "\\missing.htm").is_open());
    EXPECT_FALSE(files->openForReading(sig).is_open());
}

TEST_F(WinFilesTest, AttributesAndFreeSpace) {
    const std::string sig = "C:\\users\\Bob\\AppData\\Roaming\\Microsoft\\Signatures";
    EXPECT_EQ(files->attributes(sig), WinFiles::kDirectory);
    EXPECT_EQ(files->attributes(sig + "\\b.txt"), WinFiles::kArchive);
    EXPECT_EQ(files->attributes(sig + "\\missing"), std::nullopt);

    ASSERT_TRUE(files->setAttributes(sig + "\\b.txt", WinFiles::kReadOnly | WinFiles::kArchive));
    EXPECT_EQ(fs::status(signatures / "b.txt").permissions() &
                  (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write),
              fs::perms::none);
    EXPECT_EQ(files->attributes(sig + "\\b.txt"), WinFiles::kArchive | WinFiles::kReadOnly);
    ASSERT_TRUE(files->setAttributes(sig + "\\b.txt", WinFiles::kNormal));
    EXPECT_EQ(files->attributes(sig + "\\b.txt"), WinFiles::kArchive);
    EXPECT_FALSE(files->setAttributes(sig + "\\missing", WinFiles::kNormal));

    const auto expected = fs::space(signatures).available;
    const auto free = files->freeSpace(sig);
    ASSERT_TRUE(free);
    // Other processes write too: allow some drift.
    EXPECT_NEAR(static_cast<double>(*free), static_cast<double>(expected), 64.0 * 1024 * 1024);
    EXPECT_TRUE(files->freeSpace(sig + "\\not\\there\\yet"));
    EXPECT_EQ(files->freeSpace("\\\\server\\share"), std::nullopt);
}

TEST_F(WinFilesTest, CreateWriteMoveDelete) {
    const std::string outlook =
        "C:\\users\\Bob\\Local Settings\\Application Data\\Microsoft\\Outlook";
    const fs::path outlookHost = profile / "AppData/Local/Microsoft/Outlook";

    EXPECT_TRUE(files->createFolder(outlook + "\\Backup"));
    EXPECT_TRUE(fs::is_directory(outlookHost / "Backup"));
    EXPECT_TRUE(files->createFolder(outlook + "\\BACKUP")); // exists already
    EXPECT_FALSE(fs::exists(outlookHost / "BACKUP"));
    EXPECT_FALSE(files->createFolder(outlook + "\\a\\b")); // one level only
    EXPECT_TRUE(files->createFolder("C:\\"));              // the drive exists: nothing to do

    {
        std::ofstream out = files->openForWriting(outlook + "\\backup\\New.pst");
        ASSERT_TRUE(out.is_open());
        out << "new data";
    }
    EXPECT_EQ(readText(outlookHost / "Backup/New.pst"), "new data");
    EXPECT_FALSE(files->openForWriting(outlook + "\\nowhere\\x.pst").is_open());
    EXPECT_FALSE(files->openForWriting(outlook + "\\Backup").is_open());

    // No replacing unless asked, and never a folder.
    EXPECT_FALSE(files->moveFile(outlook + "\\Backup\\new.pst", outlook + "\\OUTLOOK.pst"));
    EXPECT_EQ(readText(outlookHost / "outlook.pst"), "pst");
    EXPECT_FALSE(files->moveFile(outlook + "\\Backup\\new.pst", outlook + "\\Backup", true));
    EXPECT_TRUE(files->moveFile(outlook + "\\Backup\\new.pst", outlook + "\\OUTLOOK.pst", true));
    EXPECT_EQ(readText(outlookHost / "outlook.pst"), "new data");
    EXPECT_FALSE(fs::exists(outlookHost / "Backup/New.pst"));
    EXPECT_TRUE(files->moveFile(outlook + "\\outlook.pst", outlook + "\\Backup\\Renamed.pst"));
    EXPECT_EQ(readText(outlookHost / "Backup/Renamed.pst"), "new data");
    EXPECT_FALSE(files->moveFile(outlook + "\\missing.pst", outlook + "\\x.pst"));

    EXPECT_FALSE(files->deleteFile(outlook + "\\Backup")); // a folder
    EXPECT_FALSE(files->deleteFile(outlook + "\\missing.pst"));
    EXPECT_TRUE(files->deleteFile(outlook + "\\backup\\renamed.PST"));
    EXPECT_FALSE(fs::exists(outlookHost / "Backup/Renamed.pst"));
}

TEST_F(WinFilesTest, WritesNeverGoThroughALink) {
    const std::string sig = "C:\\users\\Bob\\AppData\\Roaming\\Microsoft\\Signatures";
    const fs::path secret = outside / "secret.txt";
    const auto secretPerms = fs::status(secret).permissions();

    EXPECT_EQ(files->hostPathForWriting(sig + "\\EVIL.htm"), std::nullopt);
    EXPECT_FALSE(files->openForWriting(sig + "\\evil.htm").is_open());
    EXPECT_FALSE(files->setAttributes(sig + "\\evil.htm", WinFiles::kReadOnly));
    EXPECT_FALSE(files->deleteFile(sig + "\\evil.htm"));
    EXPECT_FALSE(files->moveFile(sig + "\\b.txt", sig + "\\evil.htm", true));
    EXPECT_FALSE(files->moveFile(sig + "\\evil.htm", sig + "\\moved.htm"));
    // A linked folder exists already; nothing is written through it.
    EXPECT_TRUE(files->createFolder("C:\\users\\Bob\\AppData\\Roaming\\Linked"));
    EXPECT_EQ(files->hostPathForWriting("C:\\users\\Bob\\AppData\\Roaming\\Linked"), std::nullopt);
    EXPECT_EQ(files->hostPathForWriting("C:\\"), std::nullopt);
    EXPECT_EQ(readText(secret), "secret");
    EXPECT_EQ(fs::status(secret).permissions(), secretPerms);
    EXPECT_TRUE(fs::is_symlink(signatures / "evil.htm"));
    EXPECT_TRUE(fs::exists(signatures / "b.txt"));
    EXPECT_FALSE(fs::exists(signatures / "moved.htm"));

    // A dangling link is refused as well: writing would create its target.
    fs::create_symlink(outside / "planted.txt", signatures / "dangling.htm");
    EXPECT_FALSE(files->openForWriting(sig + "\\dangling.htm").is_open());
    EXPECT_FALSE(files->createFolder(sig + "\\dangling.htm"));
    EXPECT_FALSE(fs::exists(outside / "planted.txt"));
}

TEST_F(WinFilesTest, WritingInsideALinkedFolderLandsInItsTarget) {
    // The prefix's Documents is a link into the home folder: the folder being
    // written is the link's target, which the parent resolves to.
    const std::string docs = "C:\\users\\Bob\\My Documents\\Outlook Files";
    EXPECT_EQ(files->hostPathForWriting(docs + "\\restored.pst"),
              fs::canonical(home / "Documents/Outlook Files") / "restored.pst");
    {
        std::ofstream out = files->openForWriting(docs + "\\restored.pst");
        ASSERT_TRUE(out.is_open());
        out << "restored";
    }
    EXPECT_EQ(readText(home / "Documents/Outlook Files/restored.pst"), "restored");
    EXPECT_TRUE(files->deleteFile(docs + "\\restored.pst"));
    EXPECT_FALSE(fs::exists(home / "Documents/Outlook Files/restored.pst"));
}

TEST_F(WinFilesTest, MoveAcrossFileSystems) {
    const fs::path shm = "/dev/shm";
    struct stat a {
    }, b{};
    if (stat(shm.c_str(), &a) != 0 || stat(work.path().c_str(), &b) != 0 || a.st_dev == b.st_dev ||
        access(shm.c_str(), W_OK) != 0)
        GTEST_SKIP() << "no second writable file system";
    const fs::path source = shm / ("trelmig-move-" + std::to_string(getpid()) + ".pst");
    writeText(source, "moved across");
    const std::string target = "C:\\users\\Bob\\Documents\\Outlook Files\\moved.pst";
    EXPECT_TRUE(files->moveFile(onZ(source), target));
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(readText(home / "Documents/Outlook Files/moved.pst"), "moved across");

    writeText(source, "second");
    EXPECT_FALSE(files->moveFile(onZ(source), target));
    EXPECT_TRUE(files->moveFile(onZ(source), target, true));
    EXPECT_EQ(readText(home / "Documents/Outlook Files/moved.pst"), "second");
    // No temporary file is left beside the target.
    EXPECT_EQ(files->listFiles("C:\\users\\Bob\\Documents\\Outlook Files"),
              (std::vector<std::string>{"archive.pst", "moved.pst"}));
    fs::remove(source);
}

// A link on the way that leads out of the drive is refused, wherever it sits;
// Wine's links from the shell folders into the home folder are followed, but
// not links from there out of the home folder.
TEST_F(WinFilesTest, NoWriteLeavesTheDriveThroughALinkedFolder) {
    const fs::path outlook = profile / "AppData" / "Roaming" / "Microsoft" / "Outlook";
    fs::create_directory_symlink(outside, outlook);
    const std::string roaming = "C:\\users\\Bob\\AppData\\Roaming";
    EXPECT_EQ(files->hostPathForWriting(roaming + "\\Microsoft\\Outlook\\Outlook.RWZ"),
              std::nullopt);
    EXPECT_EQ(files->hostPathForWriting(roaming + "\\Linked\\new\\file.txt"), std::nullopt);
    EXPECT_FALSE(files->folderForWriting(roaming + "\\Microsoft\\Outlook"));
    EXPECT_FALSE(files->createFolder(roaming + "\\Linked\\new"));
    EXPECT_FALSE(fs::exists(outside / "new"));

    // A link that stays on the drive is fine.
    fs::create_directory_symlink(driveC / "users", profile / "AppData" / "Local" / "Users");
    EXPECT_TRUE(files->hostPathForWriting("C:\\users\\Bob\\AppData\\Local\\Users\\x.txt"));

    const std::string docs = "C:\\users\\Bob\\Documents";
    EXPECT_TRUE(files->folderForWriting(docs + "\\Outlook Files"));
    fs::create_directory_symlink(outside, home / "Documents" / "Away");
    EXPECT_EQ(files->hostPathForWriting(docs + "\\Away\\x.pst"), std::nullopt);
    // Only the shell folders' own links count as Wine's.
    fs::create_directory_symlink(home / "Documents", profile / "AppData" / "Roaming" / "Docs");
    EXPECT_EQ(files->hostPathForWriting(roaming + "\\Docs\\x.pst"), std::nullopt);
}

TEST_F(WinFilesTest, FolderTargetsMatchNamesOnceAndLeftoversAreRemoved) {
    const std::string sig = "C:\\users\\Bob\\AppData\\Roaming\\Microsoft\\Signatures";
    const auto targets = files->folderForWriting(sig);
    ASSERT_TRUE(targets);
    EXPECT_EQ(targets->fileFor("WORK.HTM"), fs::canonical(signatures) / "Work.htm");
    EXPECT_EQ(targets->fileFor("new.htm"), fs::canonical(signatures) / "new.htm");
    EXPECT_EQ(targets->fileFor("evil.htm"), std::nullopt);
    EXPECT_EQ(targets->fileFor("Work_files"), std::nullopt);
    EXPECT_EQ(targets->fileFor("..\\x"), std::nullopt);

    writeText(signatures / ".Work.htm.trelmig-x-Ab12Cd", "partial");
    writeText(signatures / "..Work.htm.trelmig-x-Ab12Cd.trelmig-x-zzzzzz", "partial");
    writeText(signatures / ".Work.htm.trelmig-x-short", "kept: not ours");
    EXPECT_EQ(files->removeStaleExtractions(sig), 2u);
    EXPECT_TRUE(fs::exists(signatures / ".Work.htm.trelmig-x-short"));
    EXPECT_TRUE(fs::exists(signatures / "Work.htm"));
}
