#include "archive/ZipEntryDecoder.h"

#include "archive/ZipCentralDirectory.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <zip.h>

using namespace trelmig;
using namespace ziptest;

namespace {

struct Decoded {
    bool ok = false;
    std::string data;
    std::string error;
    bool wrongPassword = false;
};

// Decodes entry `index` of the archive at path as the archive reader does:
// libzip's directory facts, our offsets; change adjusts the facts first.
Decoded decodeEntry(const std::string& path, zip_uint64_t index, const std::string& password,
                    const std::function<void(ZipStoredEntry&)>& change = {}) {
    int code = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_RDONLY, &code);
    EXPECT_NE(za, nullptr);
    zip_stat_t st;
    EXPECT_EQ(zip_stat_index(za, index, 0, &st), 0);
    zip_discard(za);
    ZipStoredEntry entry{index, st.size, st.comp_size, st.comp_method, st.encryption_method,
                         st.crc};
    if (change)
        change(entry);

    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ZipCentralDirectory directory;
    const Result<void> read = directory.read(fd);
    EXPECT_TRUE(read) << read.error().message;
    const auto offset = directory.dataOffset(fd, static_cast<std::size_t>(index));
    EXPECT_TRUE(offset) << offset.error().message;
    Decoded result;
    if (offset) {
        ZipEntryDecoder decoder(fd, password);
        const EntryReadResult decoded =
            decoder.decode(entry, *offset, [&](const unsigned char* data, std::size_t n) {
                result.data.append(reinterpret_cast<const char*>(data), n);
                return true;
            });
        result.ok = decoded.has_value();
        result.error = decoded ? std::string() : decoded.error().message;
        result.wrongPassword = !decoded && decoded.error().wrongPassword;
    }
    ::close(fd);
    return result;
}

// An archive written by libzip with one entry per (content, compression, encryption).
void writeWithLibzip(
    const std::string& path,
    const std::vector<std::tuple<std::string, std::int32_t, std::uint16_t>>& entries,
    const std::string& password) {
    int code = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(za, nullptr);
    int i = 0;
    for (const auto& [content, compression, encryption] : entries) {
        zip_source_t* source = zip_source_buffer(za, content.data(), content.size(), 0);
        const zip_int64_t index = zip_file_add(za, ("e" + std::to_string(i++)).c_str(), source, 0);
        ASSERT_GE(index, 0);
        ASSERT_EQ(zip_set_file_compression(za, static_cast<zip_uint64_t>(index), compression, 0),
                  0);
        if (encryption != ZIP_EM_NONE) {
            ASSERT_EQ(zip_file_set_encryption(za, static_cast<zip_uint64_t>(index), encryption,
                                              password.c_str()),
                      0);
        }
    }
    ASSERT_EQ(zip_close(za), 0);
}

} // namespace

TEST(ZipEntryDecoder, ReadsWhatLibzipAnd7ZipWrite) {
    ScratchFolder dir;
    const std::string text = mixedContent(2 * 1024 * 1024 + 333, 3);
    const std::string archive = dir.file("libzip.zip");
    writeWithLibzip(archive,
                    {{text, ZIP_CM_DEFLATE, ZIP_EM_AES_256},
                     {text, ZIP_CM_STORE, ZIP_EM_AES_256},
                     {text, ZIP_CM_DEFLATE, ZIP_EM_AES_128},
                     {"", ZIP_CM_DEFLATE, ZIP_EM_AES_256},
                     {text, ZIP_CM_DEFLATE, ZIP_EM_NONE},
                     {text, ZIP_CM_STORE, ZIP_EM_NONE},
                     {"", ZIP_CM_STORE, ZIP_EM_NONE}},
                    "pw");
    for (zip_uint64_t i = 0; i < 7; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const Decoded d = decodeEntry(archive, i, "pw");
        EXPECT_TRUE(d.ok) << d.error;
        EXPECT_TRUE(d.data == (i == 3 || i == 6 ? "" : text));
    }

    // 7-Zip's AES entries (WinZip AE-2) store no CRC; deflated and stored.
    writeFile(dir.file("notes.txt"), text);
    for (const char* level : {"-mx=5", "-mx=0"}) {
        const std::string sevenZip = dir.file(std::string("7z") + level + ".zip");
        const auto made = run("7z a -tzip -mem=AES256 -ppw " + std::string(level) + " " +
                              shellQuoted(sevenZip) + " " + shellQuoted(dir.file("notes.txt")));
        ASSERT_EQ(made.status, 0) << made.output;
        const Decoded d = decodeEntry(sevenZip, 0, "pw");
        EXPECT_TRUE(d.ok) << level << ": " << d.error;
        EXPECT_TRUE(d.data == text) << level;
    }
}

// What the directory states is held against what the data turns out to be:
// an entry longer than stated is cut off at once (a false size must not
// fill the disk), a shorter one, a false CRC and a wrong password are refused.
TEST(ZipEntryDecoder, RefusesDataThatDisagreesWithTheDirectory) {
    ScratchFolder dir;
    const std::string text = mixedContent(1024 * 1024, 4);
    const std::string archive = dir.file("a.zip");
    writeWithLibzip(archive,
                    {{text, ZIP_CM_DEFLATE, ZIP_EM_AES_256}, {text, ZIP_CM_DEFLATE, ZIP_EM_NONE}},
                    "pw");
    for (zip_uint64_t i = 0; i < 2; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        Decoded d = decodeEntry(archive, i, "pw", [](ZipStoredEntry& e) { e.size -= 1; });
        EXPECT_FALSE(d.ok);
        EXPECT_NE(d.error.find("holds more than"), std::string::npos) << d.error;
        EXPECT_LE(d.data.size(), text.size() - 1);

        d = decodeEntry(archive, i, "pw", [](ZipStoredEntry& e) { e.size += 1; });
        EXPECT_FALSE(d.ok);
        EXPECT_NE(d.error.find("ended after"), std::string::npos) << d.error;

        d = decodeEntry(archive, i, "pw", [](ZipStoredEntry& e) { e.crc ^= 1; });
        EXPECT_FALSE(d.ok);
        EXPECT_NE(d.error.find("CRC"), std::string::npos) << d.error;
    }
    // An AES entry without a CRC (AE-2) rests on its authentication code.
    EXPECT_TRUE(decodeEntry(archive, 0, "pw", [](ZipStoredEntry& e) { e.crc = 0; }).ok);

    const Decoded wrong = decodeEntry(archive, 0, "wrong");
    EXPECT_FALSE(wrong.ok);
    EXPECT_NE(wrong.error.find("password is wrong"), std::string::npos) << wrong.error;
}

// Every changed byte of an entry's stored data is caught, wherever it is.
TEST(ZipEntryDecoder, ChangedBytesAreCaught) {
    ScratchFolder dir;
    const std::string text = mixedContent(300000, 5);
    const std::string archive = dir.file("a.zip");
    writeWithLibzip(
        archive, {{text, ZIP_CM_DEFLATE, ZIP_EM_AES_256}, {text, ZIP_CM_STORE, ZIP_EM_NONE}}, "pw");
    const std::string original = readFile(archive);
    int code = 0;
    zip_t* za = zip_open(archive.c_str(), ZIP_RDONLY, &code);
    ASSERT_NE(za, nullptr);
    zip_stat_t first, second;
    zip_stat_index(za, 0, 0, &first);
    zip_stat_index(za, 1, 0, &second);
    zip_discard(za);
    const int fd = ::open(archive.c_str(), O_RDONLY | O_CLOEXEC);
    ZipCentralDirectory directory;
    ASSERT_TRUE(directory.read(fd));
    const std::uint64_t starts[] = {*directory.dataOffset(fd, 0), *directory.dataOffset(fd, 1)};
    ::close(fd);
    const std::uint64_t sizes[] = {first.comp_size, second.comp_size};
    for (std::size_t entry = 0; entry < 2; ++entry)
        for (double at : {0.0, 0.001, 0.5, 0.999}) {
            const auto position = starts[entry] + static_cast<std::uint64_t>(
                                                      at * static_cast<double>(sizes[entry] - 1));
            std::string damaged = original;
            damaged[position] ^= 0x04;
            writeFile(archive, damaged);
            EXPECT_FALSE(decodeEntry(archive, entry, "pw").ok)
                << "entry " << entry << ", byte " << position << " changed";
        }
}
