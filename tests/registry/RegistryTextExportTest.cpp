#include "registry/RegistryText.h"

#include "RegistryTestSupport.h"

#include <gtest/gtest.h>

using namespace trelmig;
using namespace trelmig::test;

namespace {

const std::string kGolden = "Software\\Golden";

std::string goldenFile() {
    return std::string(TRELMIG_FIXTURES_DIR) + "/registry-text/golden-export.txt";
}

} // namespace

TEST(RegistryTextExport, WritesTheGoldenFileByteForByte) {
    TempPrefix dir;
    RegistryFixture f(std::make_unique<WineRegistry>());
    buildGoldenTree(*f.registry, kGolden);
    put(*f.registry, "Software\\GoldenSibling", {sz("x", "must not appear")});
    const std::string out = dir.file("OBC1.tmp");
    writeFileBytes(out, "stale content of an earlier export\r\n");

    ExportRegTree(f.reg, hkcu(kGolden), "", out);

    EXPECT_EQ(readFileBytes(out), readFileBytes(goldenFile()));
    EXPECT_TRUE(f.prompter.messages.empty());
}

TEST(RegistryTextExport, KeyWithoutContentOrMissingKeyGivesTheRootLineOnly) {
    TempPrefix dir;
    RegistryFixture f(std::make_unique<WineRegistry>());
    put(*f.registry, "Software\\Bare", {});
    const std::string out = dir.file("bare.txt");

    ExportRegTree(f.reg, hkcu("Software\\Bare"), "", out);
    EXPECT_EQ(readFileBytes(out), "\\\r\n");

    ExportRegTree(f.reg, hkcu("Software\\Missing"), "", out);
    EXPECT_EQ(readFileBytes(out), "\\\r\n");
}

TEST(RegistryTextExport, DeeperCallsAndValueExportAppend) {
    TempPrefix dir;
    RegistryFixture f(std::make_unique<WineRegistry>());
    put(*f.registry, "Software\\A", {dword("d", 5)});
    put(*f.registry, "Software\\A\\B", {sz("s", "t")});
    const std::string out = dir.file("part.txt");
    writeFileBytes(out, "\\\r\n");

    ExportRegTree(f.reg, hkcu("Software\\A"), "\\A", out);
    ExportRegValues(f.reg, hkcu("Software\\A\\B"), out);
    EXPECT_EQ(readFileBytes(out),
              "\\\r\n\\A\r\n\"d\"= dw:5\r\n\\A\\B\r\n\"s\"= sz:t\r\n\"s\"= sz:t\r\n");

    // A key that cannot be opened leaves the file alone, not even creating it.
    const std::string untouched = dir.file("untouched.txt");
    ExportRegValues(f.reg, hkcu("Software\\Missing"), untouched);
    EXPECT_FALSE(std::filesystem::exists(untouched));
}

TEST(RegistryTextExport, BinaryValueOver32767BytesFailsAndLeavesNoFile) {
    TempPrefix dir;
    RegistryFixture f(std::make_unique<WineRegistry>());
    put(*f.registry, "Software\\Big", {binary("fits", std::vector<std::uint8_t>(32767, 7))});
    const std::string out = dir.file("big.txt");

    ExportRegTree(f.reg, hkcu("Software\\Big"), "", out);
    EXPECT_EQ(readLines(out).size(), 2u);

    put(*f.registry, "Software\\Big\\Sub", {binary("huge", std::vector<std::uint8_t>(32768, 7))});
    const auto exported = ExportRegTree(f.reg, hkcu("Software\\Big"), "", out);
    ASSERT_FALSE(exported.has_value());
    EXPECT_NE(exported.error().message.find("\"huge\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out)) << "a half export must not be mistaken for one";
}
