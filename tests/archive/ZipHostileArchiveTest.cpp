// Archives made by hand to mislead a reader: each must be refused when it is
// opened, before a byte of it is restored, or be read only as far as its
// directory allows.
#include "archive/ZipArchive.h"

#include "HandMadeZip.h"
#include "ZipTestSupport.h"

#include <gtest/gtest.h>

using namespace trelmig;
using namespace ziptest;
using handzip::put;

namespace {

const AnsiCodec kAnsi(1252);

bool refusedWith(const std::string& bytes, const std::string& reason, std::string& error) {
    ScratchFolder dir;
    const std::string path = dir.file("hostile.kvx");
    writeFile(path, bytes);
    ZipArchive zip(kAnsi);
    const Result<void> opened = zip.OpenZip(path);
    if (opened) {
        error = "opened";
        return false;
    }
    error = opened.error().message;
    return error.find(reason) != std::string::npos;
}

// Each local header's data holds every later local header and the last
// entry's data: n entries that extract to n times the file.
std::string quotedOverlap(std::size_t entries, const std::string& kernel) {
    std::vector<std::string> headers(entries);
    std::vector<std::string> names(entries);
    std::string tail = kernel;
    std::vector<handzip::Record> records(entries);
    for (std::size_t i = entries; i-- > 0;) {
        names[i] = "part" + std::to_string(i) + ".pst";
        const std::string header =
            handzip::localHeader(names[i], handzip::crcOf(tail), tail.size(), tail.size());
        records[i] = {names[i], handzip::crcOf(tail), tail.size(), tail.size(), 0};
        tail = header + tail;
    }
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < entries; ++i) {
        records[i].localOffset = offset;
        offset += 30 + names[i].size();
    }
    std::string out = tail;
    const std::uint64_t directory = out.size();
    for (const auto& r : records)
        out += handzip::centralRecord(r);
    return out + handzip::endRecord(entries, out.size() - directory, directory);
}

} // namespace

// Entries whose local headers or data share bytes with each other or with the
// directory: one stored file restored under two names, and the bombs that
// write gigabytes from kilobytes.
TEST(ZipHostileArchive, OverlappingComponentsAreRefused) {
    const std::string reason = "overlap";
    std::string error;

    handzip::Builder twoNames;
    twoNames.add("Outlook.pst", "genuine mail store");
    handzip::Record second = twoNames.records[0];
    second.name = "Archive.pst";
    twoNames.records.push_back(second);
    EXPECT_TRUE(refusedWith(twoNames.finish(), reason, error)) << error;

    // The entry's stated size reaches over the directory.
    handzip::Builder overDirectory;
    overDirectory.add("Outlook.pst", "mail");
    overDirectory.records[0].compressedSize = overDirectory.records[0].size = 4 + 40;
    EXPECT_TRUE(refusedWith(overDirectory.finish(), reason, error)) << error;

    EXPECT_TRUE(refusedWith(quotedOverlap(20, std::string(1000, 'k')), reason, error)) << error;

    // Side by side, touching but not sharing a byte, entries are fine.
    handzip::Builder sound;
    sound.add("a.pst", "first");
    sound.add("b.pst", "second");
    ScratchFolder dir;
    writeFile(dir.file("sound.kvx"), sound.finish());
    ZipArchive zip(kAnsi);
    ASSERT_TRUE(Succeeded(zip.OpenZip(dir.file("sound.kvx"))));
    ASSERT_TRUE(Succeeded(zip.ExtractEntryTo("b.pst", dir.file("b.pst"))));
    EXPECT_EQ(readFile(dir.file("b.pst")), "second");
}

// One directory, read once: an archive whose end records point at two
// different directories is refused, whichever another program would follow.
TEST(ZipHostileArchive, ArchivesWithTwoPlausibleDirectoriesAreRefused) {
    std::string error;

    // A whole decoy archive in the comment of the genuine end record, its
    // own end record last in the file.
    handzip::Builder genuine;
    genuine.add("Outlook.pst", "genuine data");
    const std::string body = genuine.finish();
    const std::uint64_t commentStart = body.size(); // the comment follows the end record
    std::string decoy =
        handzip::localHeader("Outlook.pst", handzip::crcOf("decoy data!!"), 12, 12) +
        "decoy data!!";
    const std::uint64_t decoyDirectory = commentStart + decoy.size();
    const std::string decoyRecord = handzip::centralRecord(
        {"Outlook.pst", handzip::crcOf("decoy data!!"), 12, 12, commentStart});
    decoy += decoyRecord + handzip::endRecord(1, decoyRecord.size(), decoyDirectory);
    std::string withDecoy = genuine.finish(decoy);
    EXPECT_TRUE(refusedWith(withDecoy, "end record", error)) << error;

    // A Zip64 locator before an ordinary end record, its Zip64 end record
    // naming another directory than the ordinary one.
    handzip::Builder two;
    two.add("Outlook.pst", "genuine data");
    two.add("Outlook2.pst", "decoy");
    std::string bytes = two.bytes;
    const std::uint64_t directoryBoth = bytes.size();
    bytes += handzip::centralRecord(two.records[0]);
    const std::uint64_t directoryOne = bytes.size();
    bytes += handzip::centralRecord(two.records[1]);
    const std::uint64_t directoryEnd = bytes.size();
    bytes += handzip::zip64End(1, directoryEnd - directoryOne, directoryOne, bytes.size());
    bytes += handzip::endRecord(2, directoryEnd - directoryBoth, directoryBoth);
    EXPECT_TRUE(refusedWith(bytes, "end record", error)) << error;
}

// Entries read by libzip (traditional encryption here) stop at the size the
// directory states: a stated 1,000 bytes writes no more than 1,000.
TEST(ZipHostileArchive, LyingSizesStopTheFallbackReaderAtTheStatedSize) {
    ScratchFolder dir;
    writeFile(dir.file("Outlook.pst"), mixedContent(3000000, 9));
    const std::string archive = dir.file("old.zip");
    auto made = run("zip -q -j -P secret " + shellQuoted(archive) + " " +
                    shellQuoted(dir.file("Outlook.pst")));
    ASSERT_EQ(made.status, 0) << made.output;
    std::string bytes = readFile(archive);
    const std::size_t central = bytes.find(std::string("PK\x01\x02", 4));
    ASSERT_NE(central, std::string::npos);
    std::string stated;
    put(stated, 1000, 4);
    bytes.replace(central + 24, 4, stated);
    writeFile(archive, bytes);

    std::uint64_t written = 0;
    ZipEvents events;
    events.extractProgress = [&](std::uint64_t bytesWritten) {
        written += bytesWritten;
        return true;
    };
    ZipArchive zip(kAnsi, events);
    ASSERT_TRUE(Succeeded(zip.OpenZip(archive)));
    zip.SetDecryptPassword("secret");
    EXPECT_FALSE(zip.ExtractEntryTo("Outlook.pst", dir.file("out.pst")));
    EXPECT_LE(written, 1000u);
    EXPECT_FALSE(fs::exists(dir.file("out.pst")));
}

// A backup holds thousands of entries at most; a directory of more is refused
// with the limit named, before anything reads it whole.
TEST(ZipHostileArchive, TooManyEntriesAreRefusedWithTheLimit) {
    handzip::Builder many;
    for (int i = 0; i < 65536; ++i)
        many.add(std::to_string(i), {});
    std::string bytes = many.finish();
    // The end record's 16-bit count cannot say 65,536: a Zip64 end record does.
    const std::size_t end = bytes.size() - 22;
    const std::string ordinary = bytes.substr(end);
    bytes.resize(end);
    const std::uint64_t end64 = bytes.size();
    std::uint64_t directory = 0;
    for (int i = 3; i >= 0; --i)
        directory = directory << 8 | static_cast<unsigned char>(ordinary[16 + i]);
    bytes += handzip::zip64End(65536, end64 - directory, directory, end64);
    put(bytes, 0x06054b50, 4);
    put(bytes, 0, 4);
    put(bytes, 0xffff, 2);
    put(bytes, 0xffff, 2);
    put(bytes, end64 - directory, 4);
    put(bytes, directory, 4);
    put(bytes, 0, 2);
    std::string error;
    EXPECT_TRUE(refusedWith(bytes, "more than 65535 entries", error)) << error;
}
