// An item is restored all or nothing: its names are checked, its
// configuration read and its files extracted before the first file is
// replaced, and a rename that fails half way puts back those done before.
#include "RestoreSuite.h"

#include "platform/WorkFolder.h"
#include "restore/StagedFiles.h"

#include <fstream>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

const char* kSignatures = "AppData/Roaming/Microsoft/Signatures";

bool leftoversIn(const fs::path& folder) {
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().find(".trelmig") != std::string::npos)
            return true;
    return false;
}

} // namespace

// The third target cannot be replaced (a folder took its place after the
// files were staged): the first gets its old content back, the second,
// which did not exist, goes again.
TEST(StagedFiles, AFailedRenamePutsBackTheFilesRenamedBeforeIt) {
    WorkFolder work;
    const fs::path dir = work.path();
    std::ofstream(dir / "a.htm") << "old a";
    {
        StagedFiles staged;
        RetiredFiles retired;
        for (const char* name : {"a.htm", "new.htm", "c.htm"})
            std::ofstream(staged.add(dir / name)) << "restored " << name;
        fs::create_directories(dir / "c.htm" / "inside");
        EXPECT_FALSE(staged.commit(retired));
    }
    EXPECT_EQ(readWholeFile(dir / "a.htm"), "old a");
    EXPECT_FALSE(fs::exists(dir / "new.htm"));
    EXPECT_TRUE(fs::is_directory(dir / "c.htm" / "inside"));
    EXPECT_FALSE(leftoversIn(dir));
}

// The fourth of four signature files has a name the file system cannot
// hold: nothing is replaced, and the message shows the name cut.
TEST_P(RestoreSuite, ANameTooLongForTheFileSystemReplacesNothing) {
    const std::string longName = std::string(300, 'x') + ".htm";
    const std::string kvx = (source.work.path() / "long-name.kvx").string();
    writeRawZip(kvx, {{"a.htm", "new a"},
                      {"b.htm", "new b"},
                      {"c.htm", "new c"},
                      {longName, "new long"},
                      {"vastrel.dat", "BackupItem=0000100000\r\nBackupSignatures=a.htm;b.htm;"
                                      "c.htm;" +
                                          longName + "\r\n"}});
    const fs::path folder = target.userFolder() / kSignatures;
    for (const char* name : {"a.htm", "b.htm", "c.htm"})
        std::ofstream(folder / name) << "old " << name;
    ASSERT_TRUE(inspect(kvx).accepted);
    EXPECT_FALSE(restore(items({2})).allSucceeded);
    for (const char* name : {"a.htm", "b.htm", "c.htm"})
        EXPECT_EQ(readWholeFile(folder / name), std::string("old ") + name);
    EXPECT_FALSE(leftoversIn(folder));
    const std::string& message = prompter.messages.back().text;
    EXPECT_TRUE(message.starts_with("The Restore was not Completed!")) << message;
    std::size_t start = 0;
    for (std::size_t end; (end = message.find("\r\n", start)) != std::string::npos; start = end + 2)
        EXPECT_LT(end - start, 400u) << message.substr(start, end - start);
    EXPECT_LT(message.size() - start, 400u) << message.substr(start);
}

// A configuration whose registry text is damaged is found before the data
// files are replaced: they stay as they were, as does the profile.
TEST_P(RestoreSuite, ADamagedConfigurationLeavesTheDataFilesAsTheyWere) {
    const std::string kvx = (source.work.path() / "damaged-config.kvx").string();
    writeRawZip(kvx, {{"OBC1.tmp", "\\\r\n\"a\"= sz:1\r\nthis line is broken\r\n"},
                      {GetParam().dataFile, "restored mail"},
                      {"vastrel.dat", "BackupItem=1100000000\r\nBackupConfig=OBC1.tmp\r\n"
                                      "BackupDatas=" +
                                          GetParam().dataFile + "\r\n"}});
    const fs::path pst = targetDataFolder() / GetParam().dataFile;
    const std::string pstBefore = readWholeFile(pst);
    const std::string userBefore = readWholeFile(target.root / "user.reg");
    ASSERT_TRUE(inspect(kvx).accepted);
    EXPECT_FALSE(restore(items({0}), "Outlook").allSucceeded);
    EXPECT_EQ(readWholeFile(pst), pstBefore);
    EXPECT_EQ(readWholeFile(target.root / "user.reg"), userBefore);
}

// Personal folders that cannot be written (the data file is a link out of
// the drive) fail as a whole: the profile's rules stay too, and the message
// does not say the restore was completed.
TEST_P(RestoreSuite, FailedPersonalFoldersLeaveTheRulesAndSaySo) {
    std::ofstream(source.userFolder() / "AppData/Roaming/Microsoft/Outlook/Outlook.RWZ")
        << "rules of the backup";
    backUp(items({0}));
    const fs::path folder = targetDataFolder();
    const fs::path elsewhere = target.work.path() / "elsewhere.pst";
    std::ofstream(elsewhere) << "not the prefix's";
    fs::remove(folder / GetParam().dataFile);
    fs::create_symlink(elsewhere, folder / GetParam().dataFile);
    const fs::path rules = target.userFolder() / "AppData/Roaming/Microsoft/Outlook/Outlook.RWZ";
    std::ofstream(rules) << "rules of this machine";

    ASSERT_TRUE(inspect(archive).accepted);
    EXPECT_FALSE(restore(items({0}), "Outlook").allSucceeded);
    EXPECT_EQ(readWholeFile(rules), "rules of this machine");
    const std::string& message = prompter.messages.back().text;
    EXPECT_TRUE(message.starts_with("The Restore was not Completed!")) << message;
    EXPECT_EQ(prompter.messages.back().icon, MessageIcon::Critical);
}
