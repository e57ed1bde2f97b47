#include "archive/ZipEntryRandomReader.h"
#include "archive/ZipArchive.h"
#include "archive/ZipCentralDirectory.h"

#include "HandMadeZip.h"
#include "ZipTestSupport.h"

#include "LittleEndianBytes.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <unistd.h>

using namespace trelmig;
using namespace ziptest;

namespace {

const AnsiCodec kAnsi(1252);
constexpr std::size_t kMiB = 1 << 20;

// A data file of several 1 MiB chunks, backed up by our writer.
struct BackedUpDataFile {
    ScratchFolder dir;
    std::string content = mixedContent(5 * kMiB + 4321, 7);
    std::string target = dir.file("backup.kvx");

    explicit BackedUpDataFile(const std::string& password) {
        writeFile(dir.file("Outlook.pst"), content);
        writeFile(dir.file("vastrel.dat"), "BackupItem=0100000000\r\n");
        ZipArchive zip(kAnsi);
        ZipFileList list;
        EXPECT_TRUE(list.AddFile(dir.file("Outlook.pst")));
        EXPECT_TRUE(list.AddFile(dir.file("vastrel.dat")));
        EXPECT_TRUE(Succeeded(zip.WriteZip(target, list, password)));
    }
    Result<std::unique_ptr<ZipEntryRandomReader>> open(const std::string& password,
                                                       const std::string& entry = "Outlook.pst") {
        ZipArchive zip(kAnsi);
        if (Result<void> opened = zip.OpenZip(target); !opened)
            return std::unexpected(opened.error());
        zip.SetDecryptPassword(password);
        return zip.OpenRandomAccess(entry);
    }
    // Where the data file's stored bytes start, as the directory says.
    std::uint64_t dataOffset() const {
        const int fd = ::open(target.c_str(), O_RDONLY);
        ZipCentralDirectory directory;
        EXPECT_TRUE(Succeeded(directory.read(fd)));
        std::uint64_t offset = 0;
        for (const auto& r : directory.records())
            if (r.name == "Outlook.pst")
                offset = r.dataOffset;
        ::close(fd);
        return offset;
    }
};

std::string readRange(ZipEntryRandomReader& reader, std::uint64_t offset, std::size_t length) {
    std::string out(length, '\0');
    const auto read =
        reader.read(offset, {reinterpret_cast<unsigned char*>(out.data()), out.size()});
    EXPECT_TRUE(Succeeded(read)) << "at " << offset;
    out.resize(read ? *read : 0);
    return out;
}

} // namespace

TEST(ZipEntryRandomReader, RangesAnywhereEqualTheOriginalWithAndWithoutPassword) {
    for (const std::string password : {"", "pw 2024"}) {
        SCOPED_TRACE("password '" + password + "'");
        BackedUpDataFile backup(password);
        {
            ZipArchive zip(kAnsi);
            ASSERT_TRUE(Succeeded(zip.OpenZip(backup.target)));
            EXPECT_TRUE(zip.GetEntry("Outlook.pst")->randomAccess);
            // Small entries are deflated in one stream: they are extracted.
            EXPECT_FALSE(zip.GetEntry("vastrel.dat")->randomAccess);
            zip.SetDecryptPassword(password);
            EXPECT_FALSE(zip.OpenRandomAccess("vastrel.dat"));
        }
        auto reader = backup.open(password);
        ASSERT_TRUE(Succeeded(reader));
        ZipEntryRandomReader& r = **reader;
        ASSERT_EQ(r.size(), backup.content.size());
        ASSERT_EQ(r.chunkCount(), 6u);
        const std::string& content = backup.content;

        // One byte of the third chunk decodes that chunk alone.
        EXPECT_EQ(readRange(r, 2 * kMiB + 5, 1), content.substr(2 * kMiB + 5, 1));
        EXPECT_EQ(r.counters().chunksDecoded, 1u);
        EXPECT_LT(r.counters().bytesRead, 2 * kMiB);
        // Across boundaries, over three chunks, up to and past the end.
        EXPECT_EQ(readRange(r, kMiB - 3, 7), content.substr(kMiB - 3, 7));
        EXPECT_EQ(readRange(r, 2 * kMiB - 100, 2 * kMiB + 200),
                  content.substr(2 * kMiB - 100, 2 * kMiB + 200));
        EXPECT_EQ(readRange(r, content.size() - 10, 100), content.substr(content.size() - 10));
        EXPECT_EQ(readRange(r, content.size(), 10), "");
        std::mt19937 gen(3);
        for (int i = 0; i < 60; ++i) {
            const std::size_t offset = gen() % content.size();
            const std::size_t length = 1 + gen() % (gen() % 4 == 0 ? 3 * kMiB : 9000);
            ASSERT_EQ(readRange(r, offset, length), content.substr(offset, length))
                << offset << " +" << length;
        }
        // Six 1 MiB chunks fit the cache: the whole entry read again decodes none.
        ASSERT_TRUE(readRange(r, 0, content.size()) == content);
        const auto before = r.counters();
        ASSERT_TRUE(readRange(r, 0, content.size()) == content);
        EXPECT_EQ(r.counters().chunksDecoded, before.chunksDecoded);
        EXPECT_EQ(r.counters().bytesRead, before.bytesRead);
    }
}

TEST(ZipEntryRandomReader, AWrongPasswordIsRefusedWhenOpened) {
    BackedUpDataFile backup("right one");
    const auto refused = backup.open("wrong one");
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().message.find("password is wrong"), std::string::npos)
        << refused.error().message;
}

TEST(ZipEntryRandomReader, ADamagedChunkFailsTheReadAndHandsNothingOn) {
    for (const std::string password : {"", "pw"}) {
        SCOPED_TRACE("password '" + password + "'");
        BackedUpDataFile backup(password);
        std::string bytes = readFile(backup.target);
        if (password.empty()) // the first chunk's first block made one of the reserved type
            bytes[backup.dataOffset()] = static_cast<char>(0xff);
        // Chunk sizes that add up but cut the stream elsewhere: the second
        // chunk loses its last byte to the third.
        const std::string field = {'K', 'V', 34, 0, 1, 0};
        const std::size_t central = bytes.rfind(field) + 4;
        putLe32(bytes, central + 14, le32(bytes, central + 14) - 1);
        putLe32(bytes, central + 18, le32(bytes, central + 18) + 1);
        writeFile(backup.target, bytes);

        auto reader = backup.open(password);
        ASSERT_TRUE(Succeeded(reader));
        for (const std::uint64_t offset : {std::uint64_t(10), std::uint64_t(kMiB + 10)}) {
            if (offset == 10 && !password.empty())
                continue;
            std::string out(4096, 'x');
            const auto read =
                (*reader)->read(offset, {reinterpret_cast<unsigned char*>(out.data()), out.size()});
            ASSERT_FALSE(read) << offset;
            EXPECT_NE(read.error().message.find("damaged"), std::string::npos)
                << read.error().message;
        }
        // The other chunks still read.
        EXPECT_EQ(readRange(**reader, 3 * kMiB, 50), backup.content.substr(3 * kMiB, 50));
    }
}

TEST(ZipEntryRandomReader, StoredEntriesAreReadWhereTheyLie) {
    ScratchFolder dir;
    const std::string content = mixedContent(300000, 9);
    handzip::Builder builder;
    builder.add("Outlook.pst", content);
    builder.add("vastrel.dat", "BackupItem=0100000000\r\n");
    writeFile(dir.file("stored.kvx"), builder.finish());
    ZipArchive zip(kAnsi);
    ASSERT_TRUE(Succeeded(zip.OpenZip(dir.file("stored.kvx"))));
    auto reader = zip.OpenRandomAccess("outlook.PST");
    ASSERT_TRUE(Succeeded(reader));
    zip.CloseZip(); // the reader has its own descriptor
    EXPECT_EQ((*reader)->chunkCount(), 0u);
    EXPECT_EQ(readRange(**reader, 123456, 70000), content.substr(123456, 70000));
    EXPECT_EQ(readRange(**reader, content.size() - 5, 70000), content.substr(content.size() - 5));
}
