#include "archive/ArchiveVerify.h"

#include "archive/ZipArchive.h"

#include "HandMadeZip.h"
#include "ZipTestSupport.h"

#include <gtest/gtest.h>

using namespace trelmig;
using namespace ziptest;

namespace {

const AnsiCodec kAnsi(1252);

// A backup as the backup writes it: a mail store, a signature and the
// information file naming both.
std::string
writeBackup(const ScratchFolder& dir, const std::string& password,
            const std::string& info = "BackupComputer=PC1\r\nBackupDatas=Outlook.pst\r\n"
                                      "BackupSignatures=Work.htm\r\nBackupItem=0100100000\r\n") {
    writeFile(dir.file("Outlook.pst"), mixedContent(400000, 3));
    writeFile(dir.file("Work.htm"), "<html>Sam</html>");
    writeFile(dir.file("vastrel.dat"), info);
    ZipFileList files;
    for (const char* name : {"Outlook.pst", "Work.htm", "vastrel.dat"})
        EXPECT_TRUE(Succeeded(files.AddFile(dir.file(name))));
    const std::string archive = dir.file(password.empty() ? "plain.kvx" : "aes.kvx");
    ZipArchive zip(kAnsi);
    EXPECT_TRUE(Succeeded(zip.WriteZip(archive, files, password)));
    return archive;
}

// Changes one byte inside the first entry's stored data.
void flipDataByte(const std::string& archive) {
    std::string bytes = readFile(archive);
    bytes[5000] = static_cast<char>(bytes[5000] ^ 0x20);
    writeFile(archive, bytes);
}

} // namespace

TEST(ArchiveVerify, AnIntactBackupIsSoundAndPeersAgree) {
    ScratchFolder dir;
    for (const std::string password : {"", "s3cret"}) {
        const std::string archive = writeBackup(dir, password);
        const ArchiveVerdict v = VerifyArchive(archive, password, kAnsi);
        EXPECT_EQ(v.state, ArchiveVerdict::State::Sound) << v.entry << ": " << v.reason;
        const CommandResult seven =
            run("7z t -p" + (password.empty() ? std::string("x") : password) + " " +
                shellQuoted(archive));
        EXPECT_EQ(seven.status, 0) << seven.output;
        if (password.empty()) {
            const CommandResult unzip = run("unzip -t " + shellQuoted(archive));
            EXPECT_EQ(unzip.status, 0) << unzip.output;
        }
    }
}

// One changed byte is found, named by its entry: by the CRC-32 without a
// password, by the authentication code with one.
TEST(ArchiveVerify, AChangedByteMakesTheBackupDamagedNamingTheEntry) {
    ScratchFolder dir;
    const std::string plain = writeBackup(dir, "");
    flipDataByte(plain);
    const ArchiveVerdict p = VerifyArchive(plain, "", kAnsi);
    EXPECT_EQ(p.state, ArchiveVerdict::State::Damaged);
    EXPECT_EQ(p.entry, "Outlook.pst");
    EXPECT_NE(p.reason.find("damaged"), std::string::npos) << p.reason;

    const std::string aes = writeBackup(dir, "s3cret");
    flipDataByte(aes);
    const ArchiveVerdict a = VerifyArchive(aes, "s3cret", kAnsi);
    EXPECT_EQ(a.state, ArchiveVerdict::State::Damaged);
    EXPECT_EQ(a.entry, "Outlook.pst");
    EXPECT_NE(a.reason.find("authentication code"), std::string::npos) << a.reason;
}

// The information file is checked against the entries: a file an item names
// must be there, and the file itself must be.
TEST(ArchiveVerify, TheInformationFileMustMatchTheEntries) {
    ScratchFolder dir;
    const std::string missing =
        writeBackup(dir, "", "BackupSignatures=Work.htm;Home.htm\r\nBackupItem=0000100000\r\n");
    const ArchiveVerdict m = VerifyArchive(missing, "", kAnsi);
    EXPECT_EQ(m.state, ArchiveVerdict::State::Damaged);
    EXPECT_EQ(m.entry, "Home.htm");
    EXPECT_NE(m.reason.find("BackupSignatures"), std::string::npos) << m.reason;

    // A name listed under an item whose flag is off is not looked for.
    const std::string unflagged =
        writeBackup(dir, "", "BackupSignatures=Home.htm\r\nBackupItem=0000000000\r\n");
    EXPECT_EQ(VerifyArchive(unflagged, "", kAnsi).state, ArchiveVerdict::State::Sound);

    handzip::Builder noInfo;
    noInfo.add("Outlook.pst", "mail");
    writeFile(dir.file("noinfo.kvx"), noInfo.finish());
    const ArchiveVerdict n = VerifyArchive(dir.file("noinfo.kvx"), "", kAnsi);
    EXPECT_EQ(n.state, ArchiveVerdict::State::Damaged);
    EXPECT_EQ(n.entry, "vastrel.dat");
}

// Refused: what cannot be read safely as an archive, and a wrong password.
TEST(ArchiveVerify, HostileArchivesAndWrongPasswordsAreRefused) {
    ScratchFolder dir;
    handzip::Builder twoNames;
    twoNames.add("Outlook.pst", "genuine");
    handzip::Record second = twoNames.records[0];
    second.name = "Archive.pst";
    twoNames.records.push_back(second);
    writeFile(dir.file("overlap.kvx"), twoNames.finish());
    const ArchiveVerdict o = VerifyArchive(dir.file("overlap.kvx"), "", kAnsi);
    EXPECT_EQ(o.state, ArchiveVerdict::State::Refused);
    EXPECT_NE(o.reason.find("overlap"), std::string::npos) << o.reason;

    writeFile(dir.file("text.kvx"), "not an archive");
    EXPECT_EQ(VerifyArchive(dir.file("text.kvx"), "", kAnsi).state, ArchiveVerdict::State::Refused);

    const std::string aes = writeBackup(dir, "s3cret");
    const ArchiveVerdict w = VerifyArchive(aes, "wrong", kAnsi);
    EXPECT_EQ(w.state, ArchiveVerdict::State::Refused) << w.reason;
    EXPECT_NE(w.reason.find("password"), std::string::npos) << w.reason;
}
