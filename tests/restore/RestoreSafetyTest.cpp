#include "RestoreSuite.h"

#include "core/SettingsFile.h"
#include "platform/RealWineserver.h"
#include "platform/WineServerLock.h"

#include <cstdlib>
#include <fstream>
#include <signal.h>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

// Every file below a folder with its content.
std::map<std::string, std::string> contents(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file())
            files[fs::relative(e.path(), root).string()] = readWholeFile(e.path());
    return files;
}

} // namespace

TEST_P(RestoreSuite, EntryNamesThatAreNoPlainFileNamesWriteNothing) {
    const std::string evil = (source.work.path() / "evil.kvx").string();
    writeRawZip(evil, {{"../../../../evil.htm", "owned"},
                       {"ok.htm", "fine"},
                       {"vastrel.dat", "BackupItem=0000100000\r\n"
                                       "BackupSignatures=ok.htm;../../../../evil.htm\r\n"}});
    const auto before = contents(target.work.path());
    ASSERT_TRUE(inspect(evil).accepted);
    const RestoreRunResult r = restore(items({2}));
    EXPECT_FALSE(r.allSucceeded);
    EXPECT_NE(prompter.messages.back().text.find("not a plain file name"), std::string::npos)
        << prompter.messages.back().text;
    EXPECT_EQ(contents(target.work.path()), before);
}

// Unprotected, a damaged entry fails its CRC; protected, its authentication
// code (the password was proved by another entry).
class CorruptEntry : public RestoreFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(CorruptEntry, LeavesTheExistingDataFileUntouched) {
    backUp(items({0}), GetParam());
    passwords.password = GetParam();
    // Flip bytes in the middle of the archive, inside the data files' data.
    std::string bytes = readWholeFile(archive);
    for (std::size_t i = bytes.size() / 3; i < bytes.size() / 3 + 64; ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
    std::ofstream(archive, std::ios::binary) << bytes;

    const fs::path pst = target.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst";
    const fs::path archivePst = target.userFolder() / "AppData/Local/Microsoft/Outlook/Archive.pst";
    const std::string pstBefore = readWholeFile(pst);
    const std::string archiveBefore = readWholeFile(archivePst);
    ASSERT_TRUE(inspect(archive).accepted);
    const RestoreRunResult r = restore(items({0}), "Outlook");
    EXPECT_FALSE(r.allSucceeded);
    EXPECT_EQ(readWholeFile(pst), pstBefore);
    EXPECT_EQ(readWholeFile(archivePst), archiveBefore);
    for (const auto& e : fs::directory_iterator(pst.parent_path()))
        EXPECT_EQ(e.path().filename().string().find(".trelmig"), std::string::npos)
            << "temporary file left: " << e.path();
}

INSTANTIATE_TEST_SUITE_P(RestoreFixture, CorruptEntry, ::testing::Values("", "pw"));

TEST_P(RestoreSuite, AMalformedRegistryTextLeavesTheProfileUnchanged) {
    const std::string bad = (source.work.path() / "bad-registry.kvx").string();
    writeRawZip(bad, {{"OBC1.tmp", "\\\r\n\"a\"= sz:1\r\n\\Sub\r\nthis line is broken\r\n"},
                      {"vastrel.dat", "BackupConfig=OBC1.tmp\r\nBackupAccounts=OBC1.tmp\r\n"
                                      "BackupItem=1001000000\r\n"}});
    const std::string userBefore = readWholeFile(target.root / "user.reg");
    ASSERT_TRUE(inspect(bad).accepted);
    const std::string work = env->session().profilesKey + "\\Work";
    const auto keysBefore = env->reg.EnumRegSubkeys(work);
    ASSERT_FALSE(keysBefore.empty());
    const RestoreRunResult r = restore(items({1}));
    EXPECT_FALSE(r.allSucceeded);
    EXPECT_EQ(readWholeFile(target.root / "user.reg"), userBefore);
    EXPECT_EQ(env->reg.EnumRegSubkeys(work), keysBefore);
}

TEST_P(RestoreSuite, ARunningWineserverRefusesTheRestoreAndNothingChanges) {
    backUp(items({0, 1, 2}));
    ASSERT_TRUE(inspect(archive).accepted);
    const fs::path serverDir =
        fs::path("/tmp") / (".wine-" + std::to_string(getuid())) / serverDirName(target.root);
    fs::create_directories(serverDir);
    std::ofstream(serverDir / "lock").put('\0');
    const auto before = contents(target.root);
    {
        LockHolder wineserver(serverDir / "lock");
        ASSERT_TRUE(wineserver.locked());
        const RestoreRunResult r = restore(items({0, 1, 2}));
        EXPECT_FALSE(r.started);
        EXPECT_NE(prompter.messages.back().text.find("close Outlook and Wine first"),
                  std::string::npos);
    }
    fs::remove_all(serverDir);
    EXPECT_EQ(contents(target.root), before);
}

// The same with a real wineserver for the prefix, in the layout the
// installed Wine gives it (Debian's: a "wine-XXXXXX" folder of /tmp).
TEST_P(RestoreSuite, ARealWineserverRefusesTheRestoreAndNothingChanges) {
    const auto program = RealWineserver::program();
    if (!program)
        GTEST_SKIP() << "Wine is not installed";
    backUp(items({0, 1, 2}));
    ASSERT_TRUE(inspect(archive).accepted);
    auto before = contents(target.root);
    {
        RealWineserver wineserver(*program, target.root);
        ASSERT_TRUE(wineserver.started());
        ASSERT_TRUE(eventually([&] { return env->prefix.wineserverRunning(); }));
        const RestoreRunResult r = restore(items({0, 1, 2}));
        EXPECT_FALSE(r.started);
        EXPECT_NE(prompter.messages.back().text.find("close Outlook and Wine first"),
                  std::string::npos);
    }
    // The registry files are the server's to write when it stops; every
    // other file is as it was.
    auto after = contents(target.root);
    std::erase_if(after, [](const auto& file) {
        return file.first == "wineserver" || file.first.ends_with(".reg");
    });
    std::erase_if(before, [](const auto& file) { return file.first.ends_with(".reg"); });
    EXPECT_EQ(after, before);
}

// Archives made on Windows: Info-ZIP's traditional encryption and an
// information file in code page 1252.
TEST_P(RestoreSuite, AnArchiveMadeOnWindowsInspectsAndRestores) {
    if (std::system("command -v zip >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Info-ZIP zip is not installed";
    const fs::path folder = source.work.path() / "windows";
    fs::create_directories(folder);
    const std::string name1252 = "R\xe9sum\xe9.txt"; // "Résumé.txt" in code page 1252
    std::ofstream(folder / name1252) << "signature from Windows";
    std::ofstream(folder / "vastrel.dat", std::ios::binary)
        << "BackupComputer=BUREAU\r\nBackupLogonUser=Ren\xe9\r\nBackupIdentity=Outlook\r\n"
           "BackupTime=12/7/2026 9:00:00 AM\r\nOutlookversion=Outlook 2003\r\n"
           "BackupInformation=Caf\xe9QX$ZRMdeux\r\nBackupSignatures=" +
               name1252 + "\r\nBackupItem=0000100000\r\n";
    const std::string kvx = (source.work.path() / "windows.kvx").string();
    const std::string cmd = "cd '" + folder.string() + "' && zip -q -P geheim '" + kvx + "' '" +
                            name1252 + "' vastrel.dat";
    ASSERT_EQ(std::system(cmd.c_str()), 0);

    passwords.password = "geheim";
    const InspectedArchive r = inspect(kvx);
    ASSERT_TRUE(r.accepted) << (prompter.messages.empty() ? "" : prompter.messages[0].text);
    EXPECT_NE(r.facts.find("User:Ren\xc3\xa9"), std::string::npos) << r.facts;
    EXPECT_EQ(r.description, "Caf\xc3\xa9\r\ndeux");
    EXPECT_TRUE(restore(items({2})).allSucceeded) << prompter.messages.back().text;
    EXPECT_EQ(readWholeFile(target.userFolder() / "AppData/Roaming/Microsoft/Signatures" /
                            "R\xc3\xa9sum\xc3\xa9.txt"),
              "signature from Windows");
}
