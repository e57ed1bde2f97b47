#include "archive/ZipChunkIndex.h"
#include "archive/ZipArchive.h"

#include "ZipTestSupport.h"

#include "LittleEndianBytes.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace trelmig;
using namespace ziptest;

namespace {

const AnsiCodec kAnsi(1252);
constexpr std::size_t kMiB = 1 << 20;

std::string fieldHeader(std::size_t dataLength) {
    return {'K', 'V', static_cast<char>(dataLength & 0xff), static_cast<char>(dataLength >> 8)};
}

// Every copy of our index field in the file, as stored (local header first).
std::vector<std::size_t> indexFieldsAt(const std::string& bytes, std::size_t chunks) {
    const std::size_t length = 10 + 4 * chunks;
    std::vector<std::size_t> found;
    for (std::size_t at = 0; (at = bytes.find(fieldHeader(length), at)) != std::string::npos; ++at)
        found.push_back(at + 4);
    return found;
}

struct IndexedArchive {
    ScratchFolder dir;
    std::string content = mixedContent(5 * kMiB + 4321, 41);
    std::string target = dir.file("indexed.kvx");

    explicit IndexedArchive(const std::string& password) {
        writeFile(dir.file("Outlook.pst"), content);
        writeFile(dir.file("vastrel.dat"), "BackupItem=0100000000\r\n");
        ZipArchive zip(kAnsi);
        ZipFileList list;
        EXPECT_TRUE(list.AddFile(dir.file("Outlook.pst")));
        EXPECT_TRUE(list.AddFile(dir.file("vastrel.dat")));
        EXPECT_TRUE(Succeeded(zip.WriteZip(target, list, password)));
    }
    Result<void> extract(const std::string& password, const std::string& to) {
        ZipArchive zip(kAnsi);
        if (Result<void> opened = zip.OpenZip(target); !opened)
            return opened;
        zip.SetDecryptPassword(password);
        return zip.ExtractEntryTo("Outlook.pst", to);
    }
};

} // namespace

TEST(ZipChunkIndex, IndexedArchivesAreSoundToSevenZipAndUnzip) {
    for (const std::string password : {"", "pw 2024"}) {
        IndexedArchive archive(password);
        const std::string bytes = readFile(archive.target);
        // The same index in the local and the central header: six chunks.
        const auto fields = indexFieldsAt(bytes, 6);
        ASSERT_EQ(fields.size(), 2u) << "password '" << password << "'";
        EXPECT_EQ(bytes.substr(fields[0], 34), bytes.substr(fields[1], 34));
        EXPECT_EQ(bytes[fields[0]], 1) << "the placeholder was left in the local header";
        EXPECT_EQ(le32(bytes, fields[0] + 2), kMiB);

        auto tested = run("7z t -p" + shellQuoted(password) + " " + shellQuoted(archive.target));
        EXPECT_EQ(tested.status, 0) << tested.output;
        if (password.empty()) {
            auto unzipped = run("unzip -t " + shellQuoted(archive.target));
            EXPECT_EQ(unzipped.status, 0) << unzipped.output;
            EXPECT_NE(unzipped.output.find("No errors detected"), std::string::npos);
        }
        ASSERT_TRUE(Succeeded(archive.extract(password, archive.dir.file("out.pst"))));
        EXPECT_TRUE(readFile(archive.dir.file("out.pst")) == archive.content);
    }
}

TEST(ZipChunkIndex, AnIndexThatDoesNotFitIsPassedOverOrFailsTheEntry) {
    IndexedArchive archive("pw");
    const std::string good = readFile(archive.target);
    const std::size_t central = indexFieldsAt(good, 6).back();
    const auto withIndex = [&](auto change) {
        std::string bytes = good;
        change(bytes);
        writeFile(archive.target, bytes);
    };
    const std::string out = archive.dir.file("out.pst");

    // Sizes that do not add up to the entry: read in one stream, as other readers do.
    withIndex([&](std::string& b) { putLe32(b, central + 10, le32(b, central + 10) + 1); });
    ASSERT_TRUE(Succeeded(archive.extract("pw", out)));
    EXPECT_TRUE(readFile(out) == archive.content);
    std::filesystem::remove(out);
    // A chunk count the entry's size does not need, a chunk size out of bounds.
    withIndex([&](std::string& b) { putLe32(b, central + 2, 4 * kMiB); });
    ASSERT_TRUE(Succeeded(archive.extract("pw", out)));
    std::filesystem::remove(out);

    // Sizes that add up but cut the stream elsewhere: damaged, and nothing left.
    withIndex([&](std::string& b) {
        putLe32(b, central + 10, le32(b, central + 10) - 1);
        putLe32(b, central + 14, le32(b, central + 14) + 1);
    });
    const Result<void> shifted = archive.extract("pw", out);
    ASSERT_FALSE(shifted);
    EXPECT_NE(shifted.error().message.find("damaged"), std::string::npos)
        << shifted.error().message;
    EXPECT_FALSE(std::filesystem::exists(out));

    // A changed byte in the data of a chunk: its check fails.
    const std::size_t local = indexFieldsAt(good, 6).front();
    withIndex([&](std::string& b) { b[local + 1000000] ^= 1; });
    EXPECT_FALSE(archive.extract("pw", out));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(ZipChunkIndex, ParseTakesOnlyAnIndexThatFitsTheEntry) {
    const std::uint64_t size = 3 * kMiB + 5;
    ZipChunkIndex index;
    index.chunkSize = kMiB;
    index.deflatedSizes = {1000, 2000, 3000, 7};
    const std::vector<unsigned char> field = index.encode();
    const auto parsed = ZipChunkIndex::parse(field, size, 6007);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->deflatedSizes, index.deflatedSizes);
    EXPECT_EQ(parsed->chunkLength(3, size), 5u);

    EXPECT_FALSE(ZipChunkIndex::parse(field, size, 6008));         // sum
    EXPECT_FALSE(ZipChunkIndex::parse(field, 4 * kMiB + 1, 6007)); // count
    EXPECT_FALSE(ZipChunkIndex::parse(field, 0, 6007));            // empty entry
    EXPECT_FALSE(ZipChunkIndex::parse(ZipChunkIndex::placeholder(4), size, 6007));
    EXPECT_FALSE(ZipChunkIndex::parse(std::span(field).first(field.size() - 1), size, 6007));
    index.deflatedSizes = {1000, 0, 5000, 7}; // an empty chunk
    EXPECT_FALSE(ZipChunkIndex::parse(index.encode(), size, 6007));
    index.deflatedSizes = {1, 1, 2 * kMiB, 7}; // more than a stored chunk takes
    EXPECT_FALSE(ZipChunkIndex::parse(index.encode(), size, 2 * kMiB + 9));
    index.chunkSize = 4096; // below the smallest chunk
    index.deflatedSizes.assign(ZipChunkIndex::chunkCount(size, 4096), 1);
    EXPECT_FALSE(ZipChunkIndex::parse(index.encode(), size, index.deflatedSizes.size()));

    // Files too large for 8,192 chunks of 1 MiB get larger chunks.
    EXPECT_EQ(ZipChunkIndex::chunkSizeFor(4ull << 30), kMiB);
    EXPECT_EQ(ZipChunkIndex::chunkSizeFor((8ull << 30) + 1), 2 * kMiB);
}
