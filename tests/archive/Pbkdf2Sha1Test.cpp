#include "archive/Pbkdf2Sha1.h"
#include "archive/Sha1Lanes.h"
#include "archive/Sha1Wide.h"

#include "CpuFlags.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace trelmig;

namespace {

std::vector<unsigned char> bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

std::vector<unsigned char> fromHex(std::string_view hex) {
    std::vector<unsigned char> out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(
            static_cast<unsigned char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return out;
}

std::vector<unsigned char> derive(std::string_view password, std::string_view salt, unsigned rounds,
                                  std::size_t size) {
    std::vector<unsigned char> out(size);
    pbkdf2HmacSha1(password, bytes(salt), rounds, out);
    return out;
}

} // namespace

// The published test vectors of PBKDF2 with HMAC-SHA1 (RFC 6070), among them
// a salt longer than a block's room and NUL bytes in password and salt.
TEST(Pbkdf2Sha1, PublishedVectors) {
    EXPECT_EQ(derive("password", "salt", 1, 20),
              fromHex("0c60c80f961f0e71f3a9b524af6012062fe037a6"));
    EXPECT_EQ(derive("password", "salt", 2, 20),
              fromHex("ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957"));
    EXPECT_EQ(derive("password", "salt", 4096, 20),
              fromHex("4b007901b765489abead49d926f721d065a429c1"));
    EXPECT_EQ(derive("passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 25),
              fromHex("3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038"));
    EXPECT_EQ(derive(std::string_view("pass\0word", 9), std::string_view("sa\0lt", 5), 4096, 16),
              fromHex("56fa6aa75548099dcc37d7f03425e0c3"));
}

// What WinZip AES asks for (salts of 8, 12 and 16 bytes, 34, 50 or 66 bytes
// out, 1000 rounds) and passwords around the block size, where HMAC hashes
// the key first, against OpenSSL's own derivation.
TEST(Pbkdf2Sha1, AgreesWithOpenSsl) {
    std::mt19937 gen(6070);
    for (std::size_t passwordSize : {0, 1, 13, 55, 63, 64, 65, 120, 300})
        for (std::size_t saltSize : {8, 12, 16})
            for (std::size_t outSize : {34, 50, 66}) {
                std::string password(passwordSize, '\0');
                for (char& c : password)
                    c = static_cast<char>(gen());
                std::vector<unsigned char> salt(saltSize);
                for (unsigned char& b : salt)
                    b = static_cast<unsigned char>(gen());
                const unsigned rounds = outSize == 66 ? 1000 : 1 + gen() % 40;
                std::vector<unsigned char> expected(outSize), got(outSize);
                ASSERT_EQ(PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                                            salt.data(), static_cast<int>(salt.size()),
                                            static_cast<int>(rounds), EVP_sha1(),
                                            static_cast<int>(outSize), expected.data()),
                          1);
                pbkdf2HmacSha1(password, salt, rounds, got);
                ASSERT_EQ(got, expected)
                    << passwordSize << "-byte password, " << saltSize << "-byte salt, " << outSize
                    << " bytes, " << rounds << " rounds";
            }
}

// Each lane of the side-by-side compression is SHA-1's compression of its own
// block, whatever the number of lanes.
TEST(Sha1Lanes, EachLaneIsOneCompression) {
    if (!sha1LanesSupported())
        GTEST_SKIP() << "this processor has no SHA instructions";
    std::mt19937 gen(1);
    for (std::size_t lanes = 1; lanes <= 6; ++lanes) {
        std::vector<std::vector<unsigned char>> blocks(lanes, std::vector<unsigned char>(64));
        std::vector<const unsigned char*> blockOf;
        for (std::size_t l = 0; l < lanes; ++l) {
            for (unsigned char& b : blocks[l])
                b = static_cast<unsigned char>(gen());
            blockOf.push_back(blocks[l].data());
        }
        // Each block compressed from SHA-1's start, all lanes in one call.
        std::vector<Sha1State> fromStart(
            lanes, Sha1State{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0});
        sha1CompressLanes(fromStart.data(), blockOf.data(), lanes);
        for (std::size_t l = 0; l < lanes; ++l) {
            // SHA-1 of the 64-byte block plus a padding block: the padding's
            // compression applied to fromStart must give OpenSSL's digest.
            unsigned char digest[EVP_MAX_MD_SIZE];
            ASSERT_EQ(EVP_Digest(blocks[l].data(), 64, digest, nullptr, EVP_sha1(), nullptr), 1);
            unsigned char padding[64] = {0x80};
            padding[62] = 0x02; // 512 bits
            Sha1State state = fromStart[l];
            const unsigned char* one[] = {padding};
            sha1CompressLanes(&state, one, 1);
            for (std::size_t i = 0; i < 5; ++i) {
                const std::uint32_t word = (std::uint32_t(digest[4 * i]) << 24) |
                                           (std::uint32_t(digest[4 * i + 1]) << 16) |
                                           (std::uint32_t(digest[4 * i + 2]) << 8) |
                                           digest[4 * i + 3];
                EXPECT_EQ(state[i], word) << "lane " << l << " of " << lanes;
            }
        }
    }
}

// The lanes are used exactly where the processor has the instructions: a
// check that said no everywhere would quietly leave every key to the slow way.
TEST(Sha1Lanes, UsedWhereTheProcessorHasTheInstructions) {
    const std::string flags = CpuFlags();
    if (flags.empty())
        GTEST_SKIP() << "/proc/cpuinfo names no flags";
    const bool has = flags.find(" sha_ni ") != std::string::npos &&
                     flags.find(" sse4_1 ") != std::string::npos &&
                     flags.find(" ssse3 ") != std::string::npos;
    EXPECT_EQ(sha1LanesSupported(), has) << flags;
}

// Many salts of one password derived together: every key equals OpenSSL's,
// across batches that fill the sixteen lanes, end part-way, mix output sizes
// (two, three or four blocks a key) and passwords around the block size; salts
// of different sizes take the key-by-key way and agree as well.
TEST(Pbkdf2Sha1, ManySaltsAgreeWithOpenSsl) {
    std::mt19937 gen(8018);
    for (std::size_t passwordSize : {0, 13, 64, 65, 300})
        for (std::size_t count : {2, 3, 5, 17, 40}) {
            std::string password(passwordSize, '\0');
            for (char& c : password)
                c = static_cast<char>(gen());
            const bool mixedSalts = count == 5;
            std::vector<std::vector<unsigned char>> salts, expected, got;
            for (std::size_t i = 0; i < count; ++i) {
                salts.emplace_back(mixedSalts ? 8 + 4 * (i % 3) : 16);
                for (unsigned char& b : salts.back())
                    b = static_cast<unsigned char>(gen());
                const std::size_t outSize = std::size_t{34} + 16 * (i % 3);
                expected.emplace_back(outSize);
                got.emplace_back(outSize);
                ASSERT_EQ(PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                                            salts[i].data(), static_cast<int>(salts[i].size()),
                                            1000, EVP_sha1(), static_cast<int>(outSize),
                                            expected[i].data()),
                          1);
            }
            std::vector<std::span<const unsigned char>> saltSpans(salts.begin(), salts.end());
            std::vector<std::span<unsigned char>> outSpans(got.begin(), got.end());
            pbkdf2HmacSha1Many(password, saltSpans, 1000, outSpans);
            for (std::size_t i = 0; i < count; ++i)
                ASSERT_EQ(got[i], expected[i])
                    << passwordSize << "-byte password, key " << i << " of " << count;
        }
}

// The wide lanes are used exactly where the processor has AVX-512.
TEST(Sha1Wide, UsedWhereTheProcessorHasTheInstructions) {
    const std::string flags = CpuFlags();
    if (flags.empty())
        GTEST_SKIP() << "/proc/cpuinfo names no flags";
    EXPECT_EQ(sha1WideSupported(), flags.find(" avx512f ") != std::string::npos) << flags;
}
