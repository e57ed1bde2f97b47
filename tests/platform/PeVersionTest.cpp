#include "platform/PeVersion.h"
#include "platform/WorkFolder.h"

#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using trelmig::readPeFileVersion;
using trelmig::WorkFolder;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    if (b.size() < at + 2)
        b.resize(at + 2);
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

struct Version {
    std::uint16_t a, b, c, d;
};

// VS_VERSIONINFO with its fixed part and no string tables.
Bytes versionInfo(Version v) {
    Bytes info;
    put16(info, 2, 52); // wValueLength: sizeof(VS_FIXEDFILEINFO)
    put16(info, 4, 0);
    const std::u16string key = u"VS_VERSION_INFO";
    for (std::size_t i = 0; i <= key.size(); ++i)
        put16(info, 6 + 2 * i, i < key.size() ? key[i] : 0);
    const std::size_t fixed = 40; // 6 + 32, aligned to 4
    put32(info, fixed, 0xFEEF04BD);
    put32(info, fixed + 4, 0x00010000);
    put32(info, fixed + 8, std::uint32_t(v.a) << 16 | v.b);
    put32(info, fixed + 12, std::uint32_t(v.c) << 16 | v.d);
    put32(info, fixed + 16, std::uint32_t(v.a) << 16 | v.b);
    put32(info, fixed + 20, std::uint32_t(v.c) << 16 | v.d);
    put32(info, fixed + 48, 0); // last field
    put16(info, 0, std::uint32_t(info.size()));
    return info;
}

constexpr std::uint32_t kRsrcRva = 0x1000;
constexpr std::uint32_t kRsrcFileOffset = 0x200;
constexpr std::uint32_t kDir = 0x80000000u;

// A .rsrc section: a named type and RT_ICON (3) lead to a decoy version
// resource, RT_VERSION (16) to the real one, which ends the section.
Bytes resourceSection(Version real) {
    Bytes r;
    auto directory = [&](std::size_t at, std::uint32_t named, std::uint32_t ids) {
        put16(r, at + 12, named);
        put16(r, at + 14, ids);
    };
    auto entry = [&](std::size_t dir, std::size_t index, std::uint32_t name, std::uint32_t offset) {
        put32(r, dir + 16 + 8 * index, name);
        put32(r, dir + 16 + 8 * index + 4, offset);
    };
    // Root: one named entry, then ids 3 and 16.
    directory(0x00, 1, 2);
    entry(0x00, 0, kDir | 0x100, kDir | 0x30);
    entry(0x00, 1, 3, kDir | 0x30);
    entry(0x00, 2, 16, kDir | 0x60);
    // Decoy: name 1 -> language 0x409 -> data 0x120.
    directory(0x30, 0, 1);
    entry(0x30, 0, 1, kDir | 0x48);
    directory(0x48, 0, 1);
    entry(0x48, 0, 0x409, 0x120);
    // Real: name 1 -> language 0x409 -> data 0x130.
    directory(0x60, 0, 1);
    entry(0x60, 0, 1, kDir | 0x78);
    directory(0x78, 0, 1);
    entry(0x78, 0, 0x409, 0x130);
    // The name string of the named entry.
    put16(r, 0x100, 4);
    for (int i = 0; i < 4; ++i)
        put16(r, 0x102 + 2 * i, u"ICON"[i]);

    const Bytes decoy = versionInfo({9, 9, 9, 9});
    const Bytes info = versionInfo(real);
    const std::uint32_t decoyAt = 0x140;
    const std::uint32_t infoAt = decoyAt + std::uint32_t(decoy.size());
    put32(r, 0x120, kRsrcRva + decoyAt);
    put32(r, 0x124, std::uint32_t(decoy.size()));
    put32(r, 0x130, kRsrcRva + infoAt);
    put32(r, 0x134, std::uint32_t(info.size()));
    r.resize(decoyAt);
    r.insert(r.end(), decoy.begin(), decoy.end());
    r.insert(r.end(), info.begin(), info.end());
    return r;
}

// A minimal PE image: DOS header, PE header, one .rsrc section that ends the file.
Bytes peImage(bool pe32plus, Version version) {
    Bytes pe(kRsrcFileOffset, 0);
    pe[0] = 'M';
    pe[1] = 'Z';
    const std::uint32_t peAt = 0x80;
    put32(pe, 0x3C, peAt);
    pe[peAt] = 'P';
    pe[peAt + 1] = 'E';
    const std::uint32_t coff = peAt + 4;
    const std::uint32_t optionalSize = pe32plus ? 240 : 224;
    put16(pe, coff, pe32plus ? 0x8664 : 0x14C);
    put16(pe, coff + 2, 1);
    put16(pe, coff + 16, optionalSize);
    put16(pe, coff + 18, 0x0102);
    const std::uint32_t opt = coff + 20;
    put16(pe, opt, pe32plus ? 0x20B : 0x10B);
    const std::uint32_t countAt = opt + (pe32plus ? 108 : 92);
    put32(pe, countAt, 16);

    const Bytes rsrc = resourceSection(version);
    put32(pe, countAt + 4 + 2 * 8, kRsrcRva);
    put32(pe, countAt + 4 + 2 * 8 + 4, std::uint32_t(rsrc.size()));

    const std::uint32_t section = opt + optionalSize;
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        pe[section + i] = std::uint8_t(name[i]);
    put32(pe, section + 8, std::uint32_t(rsrc.size()));
    put32(pe, section + 12, kRsrcRva);
    put32(pe, section + 16, std::uint32_t(rsrc.size()));
    put32(pe, section + 20, kRsrcFileOffset);
    pe.resize(kRsrcFileOffset);
    pe.insert(pe.end(), rsrc.begin(), rsrc.end());
    return pe;
}

class PeVersionTest : public ::testing::Test {
protected:
    fs::path write(const Bytes& bytes) {
        const fs::path file = work.path() / ("f" + std::to_string(count++) + ".exe");
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return file;
    }
    std::optional<std::string> versionOf(const Bytes& bytes) {
        return readPeFileVersion(write(bytes));
    }

    WorkFolder work;
    int count = 0;
};

} // namespace

TEST_F(PeVersionTest, ReadsTheFixedFileVersion) {
    EXPECT_EQ(versionOf(peImage(false, {14, 0, 7268, 5000})), "14.0.7268.5000");
    EXPECT_EQ(versionOf(peImage(true, {16, 0, 5446, 1000})), "16.0.5446.1000");
    EXPECT_EQ(versionOf(peImage(false, {65535, 0, 1, 65535})), "65535.0.1.65535");
}

TEST_F(PeVersionTest, NoVersionResource) {
    Bytes pe = peImage(false, {11, 0, 8169, 0});
    // Turn RT_VERSION into RT_MANIFEST (24): only the decoy types remain.
    put32(pe, kRsrcFileOffset + 16 + 2 * 8, 24);
    EXPECT_EQ(versionOf(pe), std::nullopt);

    Bytes noResources = peImage(true, {11, 0, 8169, 0});
    put32(noResources, 0x80 + 24 + 112 + 2 * 8, 0);
    EXPECT_EQ(versionOf(noResources), std::nullopt);

    Bytes noSignature = peImage(false, {11, 0, 8169, 0});
    const std::size_t size = noSignature.size();
    put32(noSignature, size - 52, 0); // the real resource's signature
    EXPECT_EQ(versionOf(noSignature), std::nullopt);
}

TEST_F(PeVersionTest, NotAProgram) {
    EXPECT_EQ(readPeFileVersion(work.path() / "missing.exe"), std::nullopt);
    EXPECT_EQ(readPeFileVersion(work.path()), std::nullopt);
    EXPECT_EQ(versionOf({}), std::nullopt);
    EXPECT_EQ(versionOf({'M', 'Z'}), std::nullopt);
    Bytes text(4096, 'x');
    EXPECT_EQ(versionOf(text), std::nullopt);

    Bytes badMagic = peImage(false, {1, 2, 3, 4});
    put16(badMagic, 0x80 + 24, 0x107);
    EXPECT_EQ(versionOf(badMagic), std::nullopt);
    Bytes farHeader = peImage(false, {1, 2, 3, 4});
    put32(farHeader, 0x3C, 0xFFFFFFF0u);
    EXPECT_EQ(versionOf(farHeader), std::nullopt);
}

TEST_F(PeVersionTest, EveryTruncationIsRejected) {
    const Bytes pe = peImage(true, {14, 0, 4760, 1000});
    ASSERT_EQ(versionOf(pe), "14.0.4760.1000");
    for (std::size_t length = 0; length < pe.size(); length += 7)
        EXPECT_EQ(versionOf(Bytes(pe.begin(), pe.begin() + std::ptrdiff_t(length))), std::nullopt)
            << length;
}

TEST_F(PeVersionTest, CorruptTreesDoNotMisleadIt) {
    const Bytes good = peImage(false, {12, 0, 6, 0});
    // A subdirectory that points back at the root.
    Bytes loop = good;
    put32(loop, kRsrcFileOffset + 0x60 + 16 + 4, kDir | 0);
    EXPECT_EQ(versionOf(loop), std::nullopt);
    // The language level names a directory instead of data.
    Bytes deep = good;
    put32(deep, kRsrcFileOffset + 0x78 + 16 + 4, kDir | 0x78);
    EXPECT_EQ(versionOf(deep), std::nullopt);
    // Data outside every section, and an absurd size.
    Bytes outside = good;
    put32(outside, kRsrcFileOffset + 0x130, 0x7FFFFFF0u);
    EXPECT_EQ(versionOf(outside), std::nullopt);
    Bytes huge = good;
    put32(huge, kRsrcFileOffset + 0x134, 0xFFFFFFFFu);
    EXPECT_EQ(versionOf(huge), std::nullopt);
    // Sixty-five thousand entries in a directory of a small file.
    Bytes many = good;
    put16(many, kRsrcFileOffset + 14, 0xFFFF);
    EXPECT_NO_THROW(versionOf(many));
    Bytes sections = good;
    put16(sections, 0x80 + 4 + 2, 0xFFFF);
    EXPECT_EQ(versionOf(sections), std::nullopt);
}

TEST_F(PeVersionTest, SurvivesDamageAnywhere) {
    const Bytes good = peImage(true, {15, 0, 4420, 1017});
    std::mt19937 random(2010);
    for (std::size_t at = 0; at < good.size(); ++at) {
        Bytes damaged = good;
        damaged[at] = std::uint8_t(random());
        EXPECT_NO_THROW(versionOf(damaged));
    }
    for (int i = 0; i < 50; ++i) {
        Bytes noise(std::size_t(random() % 2048));
        for (auto& b : noise)
            b = std::uint8_t(random());
        if (noise.size() >= 0x40) {
            noise[0] = 'M';
            noise[1] = 'Z';
            put32(noise, 0x3C, 0x40);
        }
        EXPECT_NO_THROW(versionOf(noise));
    }
}
