#include "archive/ZipArchive.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>
#include <thread>
#include <zip.h>

using namespace trelmig;
using namespace ziptest;

namespace {

const AnsiCodec kAnsi(1252);

// An archive whose entries carry the given raw name bytes and no UTF-8 flag,
// as Windows programs write names in the ANSI code page.
void writeRawNameArchive(const std::string& path,
                         const std::vector<std::pair<std::string, std::string>>& entries) {
    int code = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_TRUE(za);
    for (const auto& [name, data] : entries) {
        zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
        ASSERT_GE(zip_file_add(za, name.c_str(), src, ZIP_FL_ENC_CP437), 0) << zip_strerror(za);
    }
    ASSERT_EQ(zip_close(za), 0);
}

bool hasSideFiles(const ScratchFolder& dir) {
    for (const auto& name : dir.names())
        if (name.find(".trelmig-") != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST(ZipArchiveRead, InfoZipTraditionalEncryption) {
    ScratchFolder dir;
    writeFile(dir.file("Outlook.pst"), mixedContent(500000, 7));
    const std::string archive = dir.file("old.zip");
    auto made = run("zip -q -j -P secret " + shellQuoted(archive) + " " +
                    shellQuoted(dir.file("Outlook.pst")));
    ASSERT_EQ(made.status, 0) << made.output;

    EXPECT_EQ(ZipArchive::IsPasswordProtected(archive), std::optional<bool>(true));
    std::vector<std::string> extracting;
    ZipEvents events;
    events.fileExtracting = [&](const std::string& name) { extracting.push_back(name); };
    ZipArchive zip(kAnsi, events);
    ASSERT_TRUE(Succeeded(zip.OpenZip(archive)));

    zip.SetDecryptPassword("wrong");
    EXPECT_FALSE(FailureOf(zip.CheckPassword()).empty());
    EXPECT_FALSE(zip.ExtractEntryTo("Outlook.pst", dir.file("extracted.pst")));
    EXPECT_FALSE(fs::exists(dir.file("extracted.pst")));
    EXPECT_FALSE(hasSideFiles(dir));

    zip.SetDecryptPassword("secret");
    EXPECT_TRUE(Succeeded(zip.CheckPassword()));
    ASSERT_TRUE(Succeeded(zip.ExtractEntryTo("outlook.pst", dir.file("extracted.pst"))));
    EXPECT_TRUE(readFile(dir.file("extracted.pst")) == readFile(dir.file("Outlook.pst")));
    EXPECT_EQ(extracting, (std::vector<std::string>{"Outlook.pst", "Outlook.pst"}));
    EXPECT_FALSE(hasSideFiles(dir));
}

TEST(ZipArchiveRead, DamagedAesDataIsRefusedEvenWithTheRightPassword) {
    // Flipping a byte inside the encrypted data passes the password check
    // (as a wrong password does once in 65,536 tries); only the
    // authentication at the end of the entry catches it.
    ScratchFolder dir;
    writeFile(dir.file("data.pst"), mixedContent(3 * 1024 * 1024, 8));
    const std::string archive = dir.file("backup.kvx");
    {
        ZipArchive writer(kAnsi);
        ZipFileList list;
        ASSERT_TRUE(list.AddFile(dir.file("data.pst")));
        ASSERT_TRUE(Succeeded(writer.WriteZip(archive, list, "pw")));
    }
    std::string bytes = readFile(archive);
    bytes[bytes.size() / 2] ^= 0x5a;
    writeFile(archive, bytes);

    ZipArchive zip(kAnsi);
    ASSERT_TRUE(zip.OpenZip(archive));
    zip.SetDecryptPassword("pw");
    const std::string why = FailureOf(zip.CheckPassword());
    EXPECT_NE(why.find("data.pst"), std::string::npos) << why;
    EXPECT_FALSE(zip.ExtractEntryTo("data.pst", dir.file("restored.pst")));
    EXPECT_FALSE(fs::exists(dir.file("restored.pst")));
    EXPECT_FALSE(hasSideFiles(dir));
}

TEST(ZipArchiveRead, AnsiNamesWithoutUtf8FlagAreFoundByTheirUtf8Names) {
    ScratchFolder dir;
    const std::string archive = dir.file("windows.kvx");
    writeRawNameArchive(archive, {{"Pers\xf6nlich.pst", "pst data"}, {"vastrel.dat", "info"}});

    ZipArchive zip(kAnsi);
    ASSERT_TRUE(Succeeded(zip.OpenZip(archive)));
    auto entries = zip.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "Persönlich.pst");
    auto entry = zip.GetEntry("Persönlich.pst");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->size, 8u);
    EXPECT_FALSE(entry->encrypted);
    EXPECT_TRUE(zip.GetEntry("PERSÖNLICH.PST")); // as Windows compares names
    EXPECT_FALSE(zip.GetEntry("Persönlich"));
    ASSERT_TRUE(Succeeded(zip.ExtractEntryTo("persönlich.pst", dir.file("out.pst"))));
    EXPECT_EQ(readFile(dir.file("out.pst")), "pst data");

    // The code page is the prefix's: the same bytes mean something else in 1251.
    const std::string cyrillic = dir.file("cyrillic.kvx");
    writeRawNameArchive(cyrillic, {{"\xcb\xe8\xf7\xed\xfb\xe5.pst", "x"}});
    ZipArchive russian(AnsiCodec(1251));
    ASSERT_TRUE(russian.OpenZip(cyrillic));
    EXPECT_TRUE(russian.GetEntry("Личные.pst"));
    EXPECT_TRUE(russian.GetEntry("ЛИЧНЫЕ.PST"));
}

TEST(ZipArchiveRead, FlaggedUtf8NamesFromOtherTools) {
    ScratchFolder dir;
    writeFile(dir.file("Persönlich.pst"), "data");
    const std::string archive = dir.file("7z.zip");
    auto made =
        run("cd " + shellQuoted(dir.path().string()) + " && 7z a -tzip 7z.zip Persönlich.pst");
    ASSERT_EQ(made.status, 0) << made.output;
    ZipArchive zip(kAnsi);
    ASSERT_TRUE(zip.OpenZip(archive));
    ASSERT_TRUE(zip.GetEntry("Persönlich.pst"));
    EXPECT_EQ(zip.Entries()[0].name, "Persönlich.pst");
}

TEST(ZipArchiveRead, SevenZipAesArchivesWithoutCrcRead) {
    // 7-Zip writes WinZip AE-2 entries, whose CRC field is zero; libzip
    // 1.7.3 would report a CRC error for each of them.
    ScratchFolder dir;
    const std::string text = mixedContent(400000, 9);
    writeFile(dir.file("notes.txt"), text);
    const std::string archive = dir.file("7z-aes.zip");
    auto made = run("7z a -tzip -mem=AES256 -ppw " + shellQuoted(archive) + " " +
                    shellQuoted(dir.file("notes.txt")));
    ASSERT_EQ(made.status, 0) << made.output;

    ZipArchive zip(kAnsi);
    ASSERT_TRUE(zip.OpenZip(archive));
    zip.SetDecryptPassword("wrong");
    EXPECT_FALSE(zip.CheckPassword());
    zip.SetDecryptPassword("pw");
    EXPECT_TRUE(Succeeded(zip.CheckPassword()));
    ASSERT_TRUE(Succeeded(zip.ExtractEntryTo("notes.txt", dir.file("out.txt"))));
    EXPECT_TRUE(readFile(dir.file("out.txt")) == text);

    std::string bytes = readFile(archive);
    bytes[bytes.size() / 3] ^= 0x01;
    writeFile(archive, bytes);
    ZipArchive damaged(kAnsi);
    ASSERT_TRUE(damaged.OpenZip(archive));
    damaged.SetDecryptPassword("pw");
    EXPECT_FALSE(damaged.CheckPassword());
}

TEST(ZipArchiveRead, NotAnArchive) {
    ScratchFolder dir;
    writeFile(dir.file("text.kvx"), "this is not a zip archive at all");
    EXPECT_EQ(ZipArchive::IsPasswordProtected(dir.file("text.kvx")), std::nullopt);
    EXPECT_EQ(ZipArchive::IsPasswordProtected(dir.file("missing.kvx")), std::nullopt);
    ZipArchive zip(kAnsi);
    EXPECT_NE(FailureOf(zip.OpenZip(dir.file("text.kvx"))).find("text.kvx"), std::string::npos);
    EXPECT_FALSE(zip.CheckPassword());
    EXPECT_FALSE(zip.ExtractEntryTo("x", dir.file("x")));
}

TEST(ZipArchiveRead, EntryNamesNeverBecomePaths) {
    // libzip keeps any name verbatim; extraction goes to the file the caller
    // names, whatever the entry is called.
    ScratchFolder dir;
    fs::create_directory(dir.path() / "inner");
    const std::string archive = dir.file("inner/evil.zip");
    writeRawNameArchive(archive, {{"../escaped.txt", "payload"}});
    ZipArchive zip(kAnsi);
    ASSERT_TRUE(zip.OpenZip(archive));
    ASSERT_TRUE(zip.ExtractEntryTo("../escaped.txt", dir.file("inner/safe.txt")));
    EXPECT_EQ(readFile(dir.file("inner/safe.txt")), "payload");
    EXPECT_FALSE(fs::exists(dir.path() / "escaped.txt"));
}

// Names a file cannot carry, and two entries of one name (unzip and 7-Zip
// take the second, a lookup by name the first), are refused when opening.
TEST(ZipArchiveRead, EntryNamesThatCannotBeRestoredAreRefused) {
    ScratchFolder dir;
    const std::string control = dir.file("control.zip");
    writeRawNameArchive(control, {{"ok.htm", "a"}, {"bad\x01name\n.htm", "b"}});
    ZipArchive zip(kAnsi);
    std::string why = FailureOf(zip.OpenZip(control));
    EXPECT_NE(why.find("bad\\x01name\\x0A.htm\" holds a control character"), std::string::npos)
        << why;
    EXPECT_FALSE(zip.GetEntry("ok.htm"));

    // Two entries, renamed to one name in the stored bytes.
    const std::string twice = dir.file("twice.zip");
    writeRawNameArchive(twice, {{"sig1.htm", "first"}, {"sig2.htm", "second"}});
    std::string bytes = readFile(twice);
    for (std::size_t at; (at = bytes.find("sig2.htm")) != std::string::npos;)
        bytes.replace(at, 8, "sig1.htm");
    writeFile(twice, bytes);
    why = FailureOf(zip.OpenZip(twice));
    EXPECT_NE(why.find("two entries named \"sig1.htm\""), std::string::npos) << why;

    const std::string cases = dir.file("cases.zip");
    writeRawNameArchive(cases, {{"Sig.htm", "first"}, {"sig.HTM", "second"}});
    why = FailureOf(zip.OpenZip(cases));
    EXPECT_NE(why.find("two entries named \"sig.HTM\""), std::string::npos) << why;
}

// Several entries extracted at once: each lands under the name asked, the
// event comes once per entry on the caller's thread, and one damaged entry
// leaves none of the files, and nothing else, behind.
TEST(ZipArchiveRead, ExtractEntriesToAllOrNothing) {
    ScratchFolder dir;
    std::vector<std::string> contents;
    ZipFileList list;
    for (int i = 0; i < 6; ++i) {
        contents.push_back(mixedContent(static_cast<std::size_t>(200000 * (i + 1)), 20 + i));
        writeFile(dir.file("f" + std::to_string(i) + ".pst"), contents.back());
        ASSERT_TRUE(list.AddFile(dir.file("f" + std::to_string(i) + ".pst")));
    }
    const std::string archive = dir.file("backup.kvx");
    {
        ZipArchive writer(kAnsi);
        ASSERT_TRUE(Succeeded(writer.WriteZip(archive, list, "pw")));
    }
    fs::create_directory(dir.path() / "out");
    std::vector<std::pair<std::string, std::string>> jobs;
    for (int i = 0; i < 6; ++i)
        jobs.emplace_back("f" + std::to_string(i) + ".pst",
                          dir.file("out/r" + std::to_string(i) + ".pst"));

    const auto caller = std::this_thread::get_id();
    std::vector<std::string> extracting;
    ZipEvents events;
    events.fileExtracting = [&](const std::string& name) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        extracting.push_back(name);
    };

    // The third entry's data damaged (the second half of the archive's data).
    std::string bytes = readFile(archive);
    const std::size_t at = bytes.find("f2.pst");
    ASSERT_NE(at, std::string::npos);
    const std::string good = bytes;
    bytes[at + 6 + 11 + 1000] ^= 0x40; // past the local header's name and AES extra field
    writeFile(archive, bytes);
    {
        ZipArchive zip(kAnsi, events);
        ASSERT_TRUE(zip.OpenZip(archive));
        zip.SetDecryptPassword("pw");
        const std::string why = FailureOf(zip.ExtractEntriesTo(jobs));
        EXPECT_NE(why.find("f2.pst"), std::string::npos) << why;
        EXPECT_TRUE(fs::is_empty(dir.path() / "out"));
    }

    writeFile(archive, good);
    extracting.clear();
    ZipArchive zip(kAnsi, events);
    ASSERT_TRUE(zip.OpenZip(archive));
    zip.SetDecryptPassword("pw");
    ASSERT_TRUE(Succeeded(zip.ExtractEntriesTo(jobs)));
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(readFile(dir.file("out/r" + std::to_string(i) + ".pst")) ==
                    contents[static_cast<std::size_t>(i)])
            << i;
    std::sort(extracting.begin(), extracting.end());
    EXPECT_EQ(extracting, (std::vector<std::string>{"f0.pst", "f1.pst", "f2.pst", "f3.pst",
                                                    "f4.pst", "f5.pst"}));
}

// The archive writes each entry under the name asked and nowhere else: a
// file, or a link, already under that name is left as it is and the
// extraction fails; so does a whole batch with one such name in it.
TEST(ZipArchiveRead, AFileAlreadyUnderTheNameAskedIsNeverWrittenOver) {
    ScratchFolder dir;
    const std::string archive = dir.file("backup.kvx");
    writeRawNameArchive(archive, {{"a.htm", "new a"}, {"b.htm", "new b"}});
    fs::create_directory(dir.path() / "out");
    writeFile(dir.file("out/b.htm"), "old b");
    writeFile(dir.file("elsewhere.htm"), "elsewhere");
    fs::create_symlink(dir.file("elsewhere.htm"), dir.file("out/link.htm"));
    ZipArchive zip(kAnsi);
    ASSERT_TRUE(Succeeded(zip.OpenZip(archive)));

    const std::string why = FailureOf(zip.ExtractEntryTo("b.htm", dir.file("out/b.htm")));
    EXPECT_NE(why.find(dir.file("out/b.htm")), std::string::npos) << why;
    EXPECT_EQ(readFile(dir.file("out/b.htm")), "old b");
    EXPECT_FALSE(zip.ExtractEntryTo("a.htm", dir.file("out/link.htm")));
    EXPECT_EQ(readFile(dir.file("elsewhere.htm")), "elsewhere");
    EXPECT_TRUE(fs::is_symlink(dir.file("out/link.htm")));

    EXPECT_FALSE(
        zip.ExtractEntriesTo({{"a.htm", dir.file("out/a.htm")}, {"b.htm", dir.file("out/b.htm")}}));
    EXPECT_FALSE(fs::exists(dir.file("out/a.htm")));
    EXPECT_EQ(readFile(dir.file("out/b.htm")), "old b");
}

// The password is proved by reading the smallest encrypted entry through,
// not every entry: a damaged large entry is found when it is extracted.
TEST(ZipArchiveRead, CheckPasswordReadsOnlyTheSmallestEntry) {
    ScratchFolder dir;
    writeFile(dir.file("big.pst"), mixedContent(2 * 1024 * 1024, 30));
    writeFile(dir.file("vastrel.dat"), "BackupItem=0100000000\r\n");
    ZipFileList list;
    ASSERT_TRUE(list.AddFile(dir.file("big.pst")));
    ASSERT_TRUE(list.AddFile(dir.file("vastrel.dat")));
    const std::string archive = dir.file("backup.kvx");
    {
        ZipArchive writer(kAnsi);
        ASSERT_TRUE(Succeeded(writer.WriteZip(archive, list, "pw")));
    }
    std::string bytes = readFile(archive);
    bytes[bytes.size() / 3] ^= 0x10; // inside big.pst's data
    writeFile(archive, bytes);

    ZipArchive zip(kAnsi);
    ASSERT_TRUE(zip.OpenZip(archive));
    zip.SetDecryptPassword("wrong");
    EXPECT_FALSE(zip.CheckPassword());
    zip.SetDecryptPassword("pw");
    EXPECT_TRUE(Succeeded(zip.CheckPassword()));
    EXPECT_FALSE(zip.ExtractEntryTo("big.pst", dir.file("restored.pst")));
    EXPECT_FALSE(fs::exists(dir.file("restored.pst")));
}
