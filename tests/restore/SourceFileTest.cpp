#include "RestoreFixture.h"

using namespace trelmig;

TEST_F(RestoreFixture, InspectionShowsTheFactsAndEnablesTheItemsHeld) {
    backUp(items({0, 2, 6}), "pw");
    passwords.password = "pw";
    const InspectedArchive r = inspect(archive);
    EXPECT_TRUE(r.accepted);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(r.path, archive);
    EXPECT_EQ(r.facts.substr(0, r.facts.find("\r\nBackup Time:")),
              "Computer:SAMPLE-PC\r\nUser:sam");
    EXPECT_NE(r.facts.find("\r\nProfile:Outlook\r\nOutlook Version:Outlook 2010"),
              std::string::npos)
        << r.facts;
    EXPECT_EQ(r.restoreEnabled, items({0, 2, 6}));
    EXPECT_EQ(r.flags, "1110100010");
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.entries.at("BackupDatas"), "Archive.pst;Outlook.pst");
    EXPECT_EQ(r.entries.at("BackupConfig").substr(0, 3), "OBC");
    EXPECT_FALSE(std::filesystem::exists(env->session().infoFile));
}

TEST_F(RestoreFixture, AWrongPasswordIsRefused) {
    backUp(items({6}), "right");
    passwords.password = "wrong";
    const InspectedArchive r = inspect(archive);
    EXPECT_FALSE(r.accepted);
    EXPECT_TRUE(r.path.empty());
    ASSERT_EQ(prompter.messages.size(), 1u);
    // Said as it may be: a wrong password, or a damaged file; a critical matter.
    EXPECT_EQ(prompter.messages[0].text, "Incorrect Password or Invalid backup file\r\n\r\nThe "
                                         "password is wrong, or the backup file is damaged.");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(r.passwordRefused);
    EXPECT_FALSE(r.accepted);
}

TEST_F(RestoreFixture, AnInformationFileWithoutTenFlagsIsInvalid) {
    const std::string bad = (source.work.path() / "bad.kvx").string();
    writeRawZip(bad, {{"vastrel.dat", "BackupComputer=PC1\r\nBackupInformation=a"
                                      "QX$ZRMbQX$ZRMc\r\nBackupItem=111111111\r\n"}});
    const InspectedArchive r = inspect(bad);
    EXPECT_FALSE(r.accepted);
    EXPECT_EQ(r.facts.substr(0, 14), "Computer:PC1\r\n");
    EXPECT_EQ(r.description, "a\r\nb\r\nc");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Invalid backup file");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(r.accepted);

    prompter.messages.clear();
    EXPECT_FALSE(inspect((source.work.path() / "not-a-zip.kvx").string()).accepted);
    EXPECT_EQ(prompter.messages.at(0).text.substr(0, 21), "Invalid backup file\r\n");
}

// A lone CR ends a line, also the last one: the CR never becomes part of a
// value, so nine flags and a CR are nine flags.
TEST_F(RestoreFixture, ALoneCrEndsALineOfTheInformationFile) {
    const std::string nine = (source.work.path() / "nine.kvx").string();
    writeRawZip(nine, {{"vastrel.dat", "BackupComputer=PC1\r\nBackupItem=000010000\r"}});
    EXPECT_FALSE(inspect(nine).accepted);
    EXPECT_EQ(prompter.messages.at(0).text, "Invalid backup file");

    prompter.messages.clear();
    const std::string mac = (source.work.path() / "mac.kvx").string();
    writeRawZip(mac, {{"sig.htm", "x"},
                      {"vastrel.dat", "BackupComputer=PC1\rBackupSignatures=sig.htm\r"
                                      "BackupItem=0000100000\r"}});
    const InspectedArchive r = inspect(mac);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.facts.substr(0, 14), "Computer:PC1\r\n");
    EXPECT_EQ(r.entries.at("BackupSignatures"), "sig.htm");
}

// An information file is a few lines; one of megabytes is not a backup's.
TEST_F(RestoreFixture, AnOversizedInformationFileIsRefused) {
    const std::string big = (source.work.path() / "big.kvx").string();
    writeRawZip(big, {{"sig.htm", "x"},
                      {"vastrel.dat", "BackupItem=0000100000\r\nBackupSignatures=sig.htm\r\n"
                                      "BackupInformation=" +
                                          std::string(2u << 20, 'a') + "\r\n"}});
    EXPECT_FALSE(inspect(big).accepted);
    EXPECT_EQ(prompter.messages.at(0).text, "Invalid backup file");
    EXPECT_FALSE(inspected.accepted);
}

TEST_F(RestoreFixture, AnArchiveWithAnEntryNameNoFileCanHaveIsRefusedWithItsReason) {
    const std::string bad = (source.work.path() / "control.kvx").string();
    writeRawZip(bad, {{"sig\r.htm", "x"},
                      {"vastrel.dat", "BackupItem=0000100000\r\nBackupSignatures=sig\r.htm\r\n"}});
    EXPECT_FALSE(inspect(bad).accepted);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_NE(prompter.messages[0].text.find("Invalid backup file\r\n\r\n"), std::string::npos);
    EXPECT_NE(prompter.messages[0].text.find("sig\\x0D.htm\" holds a control character"),
              std::string::npos)
        << prompter.messages[0].text;
    EXPECT_FALSE(inspected.accepted);
}

// One item's files land in one folder, where Windows would make Sig.htm and
// SIG.HTM one file: such a list is refused, naming both; the same name twice,
// and the same name under two items, are fine.
TEST_F(RestoreFixture, AnItemListNamingOneFileInTwoCasesIsRefused) {
    const std::string twins = (source.work.path() / "twins.kvx").string();
    writeRawZip(twins, {{"Sig.htm", "x"},
                        {"vastrel.dat", "BackupItem=0000100000\r\n"
                                        "BackupSignatures=Sig.htm;SIG.HTM\r\n"}});
    const InspectedArchive r = inspect(twins);
    EXPECT_FALSE(r.accepted);
    EXPECT_EQ(r.restoreEnabled, ItemSelection{});
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(prompter.messages[0].text,
              "Invalid backup file\r\n\r\nThe information file names, under BackupSignatures, "
              "\"Sig.htm\" and \"SIG.HTM\" differ only in case and would be one file on "
              "Windows.");
    EXPECT_FALSE(r.accepted);

    prompter.messages.clear();
    const std::string fine = (source.work.path() / "fine.kvx").string();
    writeRawZip(fine, {{"Sig.htm", "x"},
                       {"vastrel.dat", "BackupItem=0000110000\r\n"
                                       "BackupSignatures=Sig.htm;Sig.htm\r\n"
                                       "BackupStationery=sig.htm\r\n"}});
    EXPECT_TRUE(inspect(fine).accepted);
    EXPECT_TRUE(prompter.messages.empty());
}

// Each inspection is a value of its own: what a restore does follows the
// archive it is handed, never one inspected before it.
TEST_F(RestoreFixture, EachInspectionIsAValueOfItsOwn) {
    backUp(items({2}));
    const std::string signatures = (source.work.path() / "signatures.kvx").string();
    std::filesystem::rename(archive, signatures);
    backUp(items({6}), "pw");

    const InspectedArchive first = inspect(signatures);
    ASSERT_TRUE(first.accepted);
    EXPECT_TRUE(first.entries.contains("BackupSignatures"));
    // A second file whose password prompt is cancelled: nothing of the first
    // is left to restore (its archive is closed by now).
    passwords.password.reset();
    const InspectedArchive cancelled = inspect(archive);
    EXPECT_FALSE(cancelled.accepted);
    EXPECT_TRUE(cancelled.entries.empty());
    prompter.messages.clear();
    EXPECT_FALSE(restore(items({2})).started);
    // The cancelled file is not in the file box either: one is asked for.
    EXPECT_TRUE(cancelled.path.empty());
    EXPECT_EQ(prompter.messages.back().text, "Please choose the backup file to restore from.");

    passwords.password = "pw";
    const InspectedArchive second = inspect(archive);
    ASSERT_TRUE(second.accepted);
    EXPECT_EQ(second.restoreEnabled, items({6}));
    EXPECT_FALSE(second.entries.contains("BackupSignatures"));
    const RestoreRunResult r = restore(items({2, 6}));
    EXPECT_TRUE(r.allSucceeded) << r.log;
    EXPECT_EQ(r.log.find("Signatures"), std::string::npos) << r.log;
    EXPECT_NE(r.log.find("Restore Templates"), std::string::npos) << r.log;
}
