#include "core/SettingsFile.h"
#include "core/TempFiles.h"

#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;
using namespace trelmig;

class SettingsFile : public ::testing::Test {
protected:
    trelmig::WorkFolder work;
    AnsiCodec ansi{1252};
    std::string file = (work.path() / "vastrel.dat").string();

    void write(const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
};

TEST_F(SettingsFile, SavedLinesAreAnsiWithCrLfAndNeverRewritten) {
    SaveINI("BackupIdentity", "Caf\xc3\xa9", file, ansi);
    SaveINI("BackupInformation", "a=b", file, ansi);
    SaveINI("BackupIdentity", "second", file, ansi);
    EXPECT_EQ(readWholeFile(file), "BackupIdentity=Caf\xe9\r\nBackupIdentityUtf8=Caf%C3%A9\r\n"
                                   "BackupInformation=a=b\r\nBackupIdentity=second\r\n");
    EXPECT_EQ(GetINI("BackupIdentity", file, ansi), "Caf\xc3\xa9");
    EXPECT_EQ(GetINI("backupidentity", file, ansi), "Caf\xc3\xa9");
    EXPECT_EQ(GetINI("BACKUPINFORMATION", file, ansi), "a=b");
    EXPECT_EQ(GetINI("BackupItem", file, ansi), "");
}

TEST_F(SettingsFile, NamesBeyondAsciiComeBackWholeWhateverTheCodePageBesideTheirAnsiLine) {
    const std::string names = "Подпись.htm;署名 🎉.htm;Grüße.htm";
    for (const unsigned codePage : {1252u, 1251u, 932u}) {
        SCOPED_TRACE(codePage);
        const AnsiCodec codec(codePage);
        std::filesystem::remove(file);
        SaveINI("BackupSignatures", names, file, codec);
        SaveINI("BackupIdentity", "Work", file, codec);
        EXPECT_EQ(GetINI("BackupSignatures", file, codec), names);
        EXPECT_EQ(GetINI("BackupIdentity", file, codec), "Work");
        const std::string bytes = readWholeFile(file);
        // What readers without the UTF-8 line see is the ANSI line, first.
        EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")), "BackupSignatures=" + codec.fromUtf8(names));
        EXPECT_TRUE(std::all_of(bytes.begin() + bytes.find("\r\nBackupSignaturesUtf8="),
                                bytes.end(), [](unsigned char c) { return c < 0x80; }));
    }
    // A name the code page holds gets its UTF-8 line too: a prefix of another
    // code page reads the ANSI line otherwise. An ASCII one needs none.
    std::filesystem::remove(file);
    SaveINI("BackupSignatures", "Подпись.htm", file, AnsiCodec(1251));
    SaveINI("BackupItem", "1111100000", file, AnsiCodec(1251));
    EXPECT_EQ(GetINI("BackupSignatures", file, ansi), "Подпись.htm");
    EXPECT_EQ(readWholeFile(file).find("BackupItemUtf8"), std::string::npos);
    // A broken UTF-8 line (from elsewhere) leaves the ANSI one in force.
    write("BackupSignatures=Gr\xfc\xdf"
          "e.htm\r\nBackupSignaturesUtf8=Gr%FC%DF"
          "e.htm\r\n");
    EXPECT_EQ(GetINI("BackupSignatures", file, ansi), "Grüße.htm");
}

TEST_F(SettingsFile, ReadingStopsAtTheFirstEmptyLine) {
    write("BackupItem=1010000000\r\n\r\nBackupTime=late\r\nno equals here\r\n");
    EXPECT_EQ(GetINI("BackupItem", file, ansi), "1010000000");
    EXPECT_EQ(GetINI("BackupTime", file, ansi), "");
    write("junk line\r\nKey=1\r\n");
    EXPECT_EQ(GetINI("key", file, ansi), "1");
}

TEST_F(SettingsFile, AMissingFileIsAnError) {
    EXPECT_THROW(GetINI("Key", (work.path() / "none.dat").string(), ansi), std::exception);
    EXPECT_THROW(SaveINI("Key", "v", (work.path() / "no/such/folder.dat").string(), ansi),
                 std::exception);
}

TEST(TempFiles, EveryCallMakesANewEmptyFile) {
    trelmig::WorkFolder work;
    const std::string a = NewScratchFile(work.path().string(), "OBCX").value_or("");
    const std::string b = NewScratchFile(work.path().string(), "OBC").value_or("");
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    EXPECT_NE(a, b);
    for (const auto& f : {a, b}) {
        EXPECT_TRUE(fs::exists(f));
        EXPECT_EQ(fs::file_size(f), 0u);
        const std::string name = fs::path(f).filename().string();
        EXPECT_EQ(name.substr(0, 3), "OBC");
        EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
        EXPECT_EQ(name.find_first_not_of("0123456789ABCDEF", 3), name.size() - 4) << name;
    }
    EXPECT_EQ(NewScratchFile((work.path() / "missing").string(), "SF").value_or(""), "");
}

TEST_F(SettingsFile, LinesEndAtCrLfLfOrALoneCr) {
    write("A=1\rB=2\nC=3\r\nD=4\r");
    EXPECT_EQ(GetINI("A", file, ansi), "1");
    EXPECT_EQ(GetINI("B", file, ansi), "2");
    EXPECT_EQ(GetINI("C", file, ansi), "3");
    EXPECT_EQ(GetINI("D", file, ansi), "4");
    write("A=1\r\rB=2\r\n");
    EXPECT_EQ(GetINI("B", file, ansi), "");
}

TEST_F(SettingsFile, AFileLargerThanTheLimitIsNotRead) {
    write("A=" + std::string(100, 'x') + "\r\n");
    EXPECT_EQ(SettingsText::Read(file, ansi, 200).Value("a"), std::string(100, 'x'));
    EXPECT_THROW(SettingsText::Read(file, ansi, 50), std::runtime_error);
}
