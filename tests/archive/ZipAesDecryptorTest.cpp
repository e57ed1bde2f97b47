#include "archive/ZipAesDecryptor.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>

#include <zip.h>

using namespace trelmig;
using namespace ziptest;

namespace {

struct EntryBytes {
    std::string raw;      // as stored: salt, check, ciphertext, authentication code
    std::string deflated; // decrypted by libzip, still deflated
};

std::string readAll(zip_file_t* file) {
    EXPECT_NE(file, nullptr);
    std::string out;
    char buffer[5000];
    zip_int64_t n;
    while ((n = zip_fread(file, buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<std::size_t>(n));
    EXPECT_EQ(n, 0);
    EXPECT_EQ(zip_fclose(file), 0);
    return out;
}

EntryBytes writtenByLibzip(const std::string& path, const std::string& content,
                           std::uint16_t method, const std::string& password) {
    int error = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(za, nullptr);
    zip_source_t* source = zip_source_buffer(za, content.data(), content.size(), 0);
    EXPECT_GE(zip_file_add(za, "entry", source, 0), 0);
    EXPECT_EQ(zip_file_set_encryption(za, 0, method, password.c_str()), 0);
    EXPECT_EQ(zip_close(za), 0);
    za = zip_open(path.c_str(), ZIP_RDONLY, &error);
    EntryBytes bytes;
    bytes.raw = readAll(zip_fopen_index(za, 0, ZIP_FL_ENCRYPTED));
    bytes.deflated = readAll(zip_fopen_index_encrypted(za, 0, ZIP_FL_COMPRESSED, password.c_str()));
    zip_discard(za);
    return bytes;
}

std::span<const unsigned char> bytesOf(const std::string& s, std::size_t at, std::size_t n) {
    return {reinterpret_cast<const unsigned char*>(s.data()) + at, n};
}

} // namespace

// libzip's own entries, of every key size, decrypt to what libzip decrypts
// them to, in pieces that cross the 16-byte blocks; one changed byte anywhere
// in the ciphertext or the code fails the authentication.
TEST(ZipAesDecryptor, MatchesLibzipByteForByte) {
    ScratchFolder dir;
    const std::string content = mixedContent(150000, 11);
    const std::pair<std::uint16_t, std::size_t> strengths[] = {
        {ZIP_EM_AES_128, 16}, {ZIP_EM_AES_192, 24}, {ZIP_EM_AES_256, 32}};
    for (const auto& [method, keySize] : strengths) {
        SCOPED_TRACE("key size " + std::to_string(keySize));
        const std::string password = "Lång lösenord 2024!";
        const EntryBytes entry = writtenByLibzip(dir.file("libzip.zip"), content, method, password);
        const std::size_t header = ZipAesDecryptor::headerSize(keySize);
        ASSERT_GT(entry.raw.size(), header + ZipAesDecryptor::kTrailerSize);
        const std::size_t dataSize = entry.raw.size() - header - ZipAesDecryptor::kTrailerSize;
        auto decrypt = [&](std::string raw) {
            ZipAesDecryptor decryptor(password, keySize, bytesOf(raw, 0, header));
            EXPECT_TRUE(decryptor.passwordMatches());
            std::string data = raw.substr(header, dataSize);
            const std::size_t pieces[] = {1, 15, 16, 17, 3, 4099, 33, 70000};
            for (std::size_t i = 0, at = 0; at < data.size(); ++i) {
                const std::size_t n = std::min(pieces[i % std::size(pieces)], data.size() - at);
                decryptor.decrypt({reinterpret_cast<unsigned char*>(data.data()) + at, n});
                at += n;
            }
            const bool authentic =
                decryptor.authentic(bytesOf(raw, header + dataSize, ZipAesDecryptor::kTrailerSize));
            return std::make_pair(data, authentic);
        };
        const auto [data, authentic] = decrypt(entry.raw);
        EXPECT_TRUE(data == entry.deflated) << "differs from libzip's decryption";
        EXPECT_TRUE(authentic);
        for (std::size_t at : {header, header + dataSize / 2, entry.raw.size() - 1}) {
            std::string damaged = entry.raw;
            damaged[at] ^= 0x20;
            EXPECT_FALSE(decrypt(damaged).second) << "byte " << at << " changed";
        }
    }
}

TEST(ZipAesDecryptor, PasswordCheck) {
    ScratchFolder dir;
    const EntryBytes entry =
        writtenByLibzip(dir.file("a.zip"), mixedContent(5000, 1), ZIP_EM_AES_256, "right");
    const auto header = bytesOf(entry.raw, 0, ZipAesDecryptor::headerSize(32));
    EXPECT_TRUE(ZipAesDecryptor("right", 32, header).passwordMatches());
    // A wrong password passes the two-byte check once in 65,536 tries: of
    // these eight, at most one (and almost never any) may pass.
    int passed = 0;
    for (const char* wrong : {"Right", "right ", "", "wrong", "r", "1234", "rightt", "ríght"})
        passed += ZipAesDecryptor(wrong, 32, header).passwordMatches();
    EXPECT_LE(passed, 1);
    EXPECT_THROW(ZipAesDecryptor("right", 20, header), std::invalid_argument);
}
