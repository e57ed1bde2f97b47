#include "archive/ZipCentralDirectory.h"

#include "archive/ZipArchive.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <zlib.h>

using namespace trelmig;
using namespace ziptest;

namespace {

void put(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i, value >>= 8)
        out.push_back(static_cast<char>(value & 0xff));
}

// One stored entry written as a Zip64 archive throughout: sizes and the local
// header's offset only in Zip64 extra fields, the directory found through the
// Zip64 end record, as archives past 4 GiB are written.
std::string zip64Archive(const std::string& name, const std::string& data, std::size_t lead) {
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    std::string out(lead, 'x'); // bytes before the first header, as self-extractors have
    const std::uint64_t local = out.size();
    put(out, 0x04034b50, 4);
    put(out, 45, 2);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, 0, 4);
    put(out, crc, 4);
    put(out, 0xffffffff, 4);
    put(out, 0xffffffff, 4);
    put(out, name.size(), 2);
    put(out, 20, 2);
    out += name;
    put(out, 1, 2);
    put(out, 16, 2);
    put(out, data.size(), 8);
    put(out, data.size(), 8);
    out += data;

    const std::uint64_t directory = out.size();
    put(out, 0x02014b50, 4);
    put(out, 45, 2);
    put(out, 45, 2);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, 0, 4);
    put(out, crc, 4);
    put(out, 0xffffffff, 4);
    put(out, 0xffffffff, 4);
    put(out, name.size(), 2);
    put(out, 28, 2);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, 0, 4);
    put(out, 0xffffffff, 4);
    out += name;
    put(out, 1, 2);
    put(out, 24, 2);
    put(out, data.size(), 8);
    put(out, data.size(), 8);
    put(out, local, 8);
    const std::uint64_t directorySize = out.size() - directory;

    const std::uint64_t end64 = out.size();
    put(out, 0x06064b50, 4);
    put(out, 44, 8);
    put(out, 45, 2);
    put(out, 45, 2);
    put(out, 0, 4);
    put(out, 0, 4);
    put(out, 1, 8);
    put(out, 1, 8);
    put(out, directorySize, 8);
    put(out, directory, 8);
    put(out, 0x07064b50, 4);
    put(out, 0, 4);
    put(out, end64, 8);
    put(out, 1, 4);
    put(out, 0x06054b50, 4);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, 0xffff, 2);
    put(out, 0xffff, 2);
    put(out, 0xffffffff, 4);
    put(out, 0xffffffff, 4);
    put(out, 0, 2);
    return out;
}

struct Read {
    bool ok = false;
    std::string error;
    std::vector<ZipCentralDirectory::Record> records;
    std::optional<std::uint64_t> firstData;
};

Read readDirectory(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ZipCentralDirectory directory;
    Read r;
    const Result<void> read = directory.read(fd);
    r.ok = read.has_value();
    r.error = read ? std::string() : read.error().message;
    r.records = directory.records();
    if (r.ok && !r.records.empty())
        if (const auto offset = directory.dataOffset(fd, 0))
            r.firstData = *offset;
    ::close(fd);
    return r;
}

} // namespace

TEST(ZipCentralDirectory, Zip64RecordsAreFollowed) {
    ScratchFolder dir;
    const std::string data = mixedContent(70000, 12);
    const std::string archive = dir.file("zip64.zip");
    writeFile(archive, zip64Archive("Outlook.pst", data, 0));
    const Read r = readDirectory(archive);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].compressedSize, data.size());
    ASSERT_TRUE(r.firstData);
    EXPECT_EQ(*r.firstData, 30u + 11u + 20u);

    // libzip reads the same archive the same way, and the entry comes out whole.
    ZipArchive zip(AnsiCodec(1252));
    ASSERT_TRUE(Succeeded(zip.OpenZip(archive)));
    ASSERT_TRUE(Succeeded(zip.ExtractEntryTo("Outlook.pst", dir.file("out.pst"))));
    EXPECT_TRUE(readFile(dir.file("out.pst")) == data);
}

// Hostile directories: every number that points somewhere is checked against
// the file before it is followed.
TEST(ZipCentralDirectory, DirectoriesPointingOutsideTheFileAreRefused) {
    ScratchFolder dir;
    const std::string good = zip64Archive("a.pst", mixedContent(5000, 13), 0);
    const std::string path = dir.file("bad.zip");
    const std::size_t end = good.size() - 22;
    const std::size_t locator = end - 20;
    const std::size_t end64 = locator - 56;
    const std::size_t central = good.find(std::string("PK\x01\x02", 4));
    struct Damage {
        const char* what;
        std::size_t at;
        std::uint64_t value;
        int bytes;
    };
    const Damage damages[] = {
        {"directory offset past the end", end64 + 48, good.size() + 5, 8},
        {"directory size past the end", end64 + 40, good.size(), 8},
        {"more entries than the directory holds", end64 + 32, 1000, 8},
        {"Zip64 end record offset past the end", locator + 8, good.size() * 2, 8},
        {"local header offset past the end", central + 46 + 5 + 20, good.size() + 100, 8},
        {"no local header at the offset", central + 46 + 5 + 20, 7, 8},
        {"the Zip64 extra field too short", central + 30, 12, 2},
    };
    for (const Damage& d : damages) {
        std::string bytes = good;
        std::string value;
        put(value, d.value, d.bytes);
        bytes.replace(d.at, static_cast<std::size_t>(d.bytes), value);
        writeFile(path, bytes);
        const Read r = readDirectory(path);
        EXPECT_FALSE(r.ok && r.firstData) << d.what;
    }
    writeFile(path, "PK\x05\x06 too short");
    EXPECT_FALSE(readDirectory(path).ok);
}
