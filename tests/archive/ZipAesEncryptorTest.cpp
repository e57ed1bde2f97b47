#include "archive/ZipAesEncryptor.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>

#include <zip.h>

using namespace trelmig;
using namespace ziptest;

namespace {

struct EntryBytes {
    std::string raw;      // the entry's data as stored: salt, check, ciphertext, MAC
    std::string deflated; // the same decrypted, still deflated
};

std::string readAll(zip_file_t* file) {
    std::string out;
    char buffer[5000];
    zip_int64_t n;
    while ((n = zip_fread(file, buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<std::size_t>(n));
    EXPECT_EQ(n, 0);
    EXPECT_EQ(zip_fclose(file), 0);
    return out;
}

// Lets libzip itself write content as an AES-256 entry, and reads it back both raw and
// decrypted.
EntryBytes writtenByLibzip(const std::string& path, const std::string& content,
                           const std::string& password) {
    int error = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(za, nullptr);
    zip_source_t* source = zip_source_buffer(za, content.data(), content.size(), 0);
    zip_int64_t index = zip_file_add(za, "entry", source, 0);
    EXPECT_GE(index, 0);
    EXPECT_EQ(zip_file_set_encryption(za, 0, ZIP_EM_AES_256, password.c_str()), 0);
    EXPECT_EQ(zip_close(za), 0);

    za = zip_open(path.c_str(), ZIP_RDONLY, &error);
    EXPECT_NE(za, nullptr);
    EntryBytes bytes;
    bytes.raw = readAll(zip_fopen_index(za, 0, ZIP_FL_ENCRYPTED));
    bytes.deflated = readAll(zip_fopen_index_encrypted(za, 0, ZIP_FL_COMPRESSED, password.c_str()));
    zip_discard(za);
    return bytes;
}

std::string asString(std::span<const unsigned char> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

// Our encryption of libzip's deflated data, with the salt libzip chose, must give
// libzip's stored bytes exactly; pieces of every length cross the 16-byte blocks.
TEST(ZipAesEncryptor, MatchesLibzipByteForByte) {
    ScratchFolder dir;
    // (Compressible: the CRC-32 check of libzip's reading fails on data it stored.)
    std::string repeated;
    for (int i = 0; i < 9; ++i)
        repeated += "A line that repeats. ";
    const std::vector<std::string> contents = {repeated, mixedContent(150000, 7)};
    for (const std::string& password : {std::string("pw"), std::string("Lång lösenord 2024!")}) {
        for (const auto& content : contents) {
            SCOPED_TRACE("password " + password + ", " + std::to_string(content.size()) + " bytes");
            EntryBytes expected = writtenByLibzip(dir.file("libzip.zip"), content, password);
            ASSERT_GE(expected.raw.size(),
                      ZipAesEncryptor::kHeaderSize + ZipAesEncryptor::kTrailerSize);
            ZipAesEncryptor::Salt salt;
            std::copy_n(expected.raw.begin(), salt.size(), salt.begin());

            ZipAesEncryptor encryptor(password, salt);
            std::string data = expected.deflated;
            const std::size_t pieces[] = {1, 15, 16, 17, 3, 4099, 33};
            std::size_t at = 0;
            for (std::size_t i = 0; at < data.size(); ++i) {
                std::size_t n = std::min(pieces[i % std::size(pieces)], data.size() - at);
                encryptor.encrypt({reinterpret_cast<unsigned char*>(data.data()) + at, n});
                at += n;
            }
            std::string ours = asString(encryptor.header()) + data + asString(encryptor.finish());
            EXPECT_TRUE(ours == expected.raw) << "differs from libzip's entry";
        }
    }
}

TEST(ZipAesEncryptor, EveryEntryGetsItsOwnSalt) {
    ZipAesEncryptor first("pw");
    ZipAesEncryptor second("pw");
    EXPECT_NE(asString(first.header()), asString(second.header()));
}
