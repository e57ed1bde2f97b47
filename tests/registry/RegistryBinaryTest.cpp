#include "registry/RegistryBinary.h"

#include "RegistryTestSupport.h"

#include <gtest/gtest.h>

using namespace trelmig;
using namespace trelmig::test;

namespace {

const std::string kSection = "Software\\Profile\\Section";
const std::string kPath = "HKEY_CURRENT_USER\\Software\\Profile\\Section";

using Bytes = std::vector<std::uint8_t>;

Bytes wide(const std::u16string& text) {
    Bytes b;
    for (char16_t c : text) {
        b.push_back(static_cast<std::uint8_t>(c & 0xFF));
        b.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return b;
}

Bytes narrow(const std::string& ansi) {
    return {ansi.begin(), ansi.end()};
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

class RegistryBinaryTest : public ::testing::Test {
protected:
    RegistryFixture f{std::make_unique<WineRegistry>()};

    void set(const std::string& name, const Bytes& data) {
        put(*f.registry, kSection, {binary(name, data)});
    }
    Bytes get(const std::string& name) {
        auto v = f.registry->queryValue(RootKey::CurrentUser, kSection, name);
        EXPECT_TRUE(v && v->type == REG_BINARY) << name;
        return v ? v->data : Bytes{};
    }
};

} // namespace

TEST_F(RegistryBinaryTest, HexRendering) {
    set("01020fff", {0x0A, 0x00, 0xFF, 0x5C, 0x10, 0x0F});
    set("Empty", {});
    put(*f.registry, kSection, {sz("Text", "abc")});

    EXPECT_EQ(ReadRegBinaryHex(f.reg, kPath, "01020fff"), "A=0=FF=5C=10=F");
    EXPECT_EQ(ReadRegBinaryHex(f.reg, kPath, "Empty"), std::nullopt);
    EXPECT_EQ(ReadRegBinaryHex(f.reg, kPath, "Text"), std::nullopt);
    EXPECT_EQ(ReadRegBinaryHex(f.reg, kPath, "01020FFF"), std::nullopt) << "names compare exactly";
    EXPECT_EQ(ReadRegBinaryHex(f.reg, kPath, "missing"), std::nullopt);
    EXPECT_EQ(ReadRegBinaryHex(f.reg, kPath + "\\Missing", "01020fff"), std::nullopt);
    EXPECT_TRUE(f.prompter.messages.empty());
    EXPECT_EQ(ReadRegBinaryHex(f.reg, "Software\\Profile", "01020fff"), std::nullopt);
    EXPECT_EQ(f.prompter.messages.size(), 1u);
}

TEST_F(RegistryBinaryTest, ReplaceTakesTheUtf16CopyFirst) {
    const Bytes head = {0x00, 0x38, 0xA1};
    set("both", cat({head, narrow("C:\\old\\a.pst"), {0}, wide(u"C:\\old\\a.pst"), {0, 0}}));

    ReplaceInRegBinary(f.reg, kPath, "both", "C:\\old", "D:\\new\\deeper");
    EXPECT_EQ(get("both"),
              cat({head, narrow("C:\\old\\a.pst"), {0}, wide(u"D:\\new\\deeper\\a.pst"), {0, 0}}));
}

TEST_F(RegistryBinaryTest, ReplaceTakesEverySingleByteCopyWhenNoUtf16CopyExists) {
    set("narrow", cat({{1}, narrow("C:\\old\\a.pst"), {0}, narrow("C:\\old\\b.pst"), {0}}));

    ReplaceInRegBinary(f.reg, kPath, "narrow", "C:\\old", "C:\\Données");
    EXPECT_EQ(get("narrow"), cat({{1},
                                  narrow("C:\\Donn\xe9"
                                         "es\\a.pst"),
                                  {0},
                                  narrow("C:\\Donn\xe9"
                                         "es\\b.pst"),
                                  {0}}));
}

TEST_F(RegistryBinaryTest, ReplaceNeedsAByteAfterTheOldText) {
    const Bytes wideAtEnd = cat({{9}, wide(u"C:\\a.pst")});
    const Bytes narrowAtEnd = cat({{9}, narrow("C:\\a.pst")});
    set("wideAtEnd", wideAtEnd);
    set("narrowAtEnd", narrowAtEnd);
    set("oneMore", cat({narrowAtEnd, {0}}));
    set("Empty", {});

    for (const char* name : {"wideAtEnd", "narrowAtEnd", "oneMore", "Empty"})
        ReplaceInRegBinary(f.reg, kPath, name, "C:\\a.pst", "E:\\b.pst");

    EXPECT_EQ(get("wideAtEnd"), wideAtEnd);
    EXPECT_EQ(get("narrowAtEnd"), narrowAtEnd);
    EXPECT_EQ(get("oneMore"), cat({{9}, narrow("E:\\b.pst"), {0}}));
    EXPECT_EQ(get("Empty"), Bytes{});
    ReplaceInRegBinary(f.reg, kPath, "missing", "C:\\a.pst", "E:\\b.pst");
    EXPECT_FALSE(f.registry->queryValue(RootKey::CurrentUser, kSection, "missing"));
}

TEST_F(RegistryBinaryTest, WidePathReader) {
    // An entry identifier: flags, a provider id, the DLL name, then the path.
    const Bytes entryId = cat({{0, 0, 0, 0, 0x38, 0xA1, 0xBB, 0x10}, narrow("mspst.dll"), {0}});
    set("drive", cat({entryId, wide(u"C:\\Users\\me\\Mail.pst"), {0, 0}}));
    set("unc", cat({entryId, wide(u"\\\\server\\share\\Mail.pst"), {0, 0}}));
    set("nonAscii", cat({entryId, wide(u"D:\\Données\\中文.pst"), {0, 0}}));
    set("colonAt1", wide(u":\\x.pst"));
    set("colonAt2", wide(u"C:\\x.pst"));
    set("colonAt3", wide(u"aC:\\x.pst"));
    set("uncAt2", wide(u"a\\\\srv\\x"));
    set("uncAt3", wide(u"ab\\\\srv\\x"));
    set("noPath", {1, 2, 3});

    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "drive"), "C:\\Users\\me\\Mail.pst");
    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "unc"), "\\\\server\\share\\Mail.pst");
    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "nonAscii"), "D:\\Données\\中文.pst");
    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "colonAt1"), std::nullopt);
    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "colonAt2"), std::nullopt);
    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "colonAt3"), "C:\\x.pst");
    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "uncAt2"), std::nullopt);
    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "uncAt3"), "\\\\srv\\x");
    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "noPath"), std::nullopt);
    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "missing"), std::nullopt);
}

TEST_F(RegistryBinaryTest, NarrowPathReader) {
    set("single", cat({{1, 2},
                       narrow("mspst.dll"),
                       {0},
                       narrow("C:\\Donn\xe9"
                              "es\\a.pst"),
                       {0}}));
    set("utf16", cat({{1, 2}, wide(u"C:\\x\\y.pst"), {0, 0}}));
    set("noPath", narrow("abc"));

    EXPECT_EQ(ReadRegBinaryPathNarrow(f.reg, kPath, "single"), "C:\\Données\\a.pst");
    EXPECT_EQ(ReadRegBinaryPath(f.reg, kPath, "single"), std::nullopt)
        << "single-byte text pairs up into other characters";
    EXPECT_EQ(ReadRegBinaryPathNarrow(f.reg, kPath, "utf16"), "C:\\x\\y.pst");
    EXPECT_EQ(ReadRegBinaryPathNarrow(f.reg, kPath, "noPath"), std::nullopt);
    EXPECT_EQ(ReadRegBinaryPathNarrow(f.reg, kPath, "missing"), std::nullopt);
}

TEST_F(RegistryBinaryTest, ValuesOver32767BytesThrow) {
    set("fits", Bytes(32767, 0x41));
    set("huge", cat({Bytes(32766, 0x41), narrow("C:\\x")}));

    EXPECT_NO_THROW(ReadRegBinaryHex(f.reg, kPath, "fits"));
    EXPECT_THROW(ReadRegBinaryHex(f.reg, kPath, "huge"), RegistryBinaryError);
    EXPECT_THROW(ReplaceInRegBinary(f.reg, kPath, "huge", "C:", "D:"), RegistryBinaryError);
    EXPECT_THROW(ReadRegBinaryPath(f.reg, kPath, "huge"), RegistryBinaryError);
    EXPECT_THROW(ReadRegBinaryPathNarrow(f.reg, kPath, "huge"), RegistryBinaryError);
}

TEST(RegistryBinaryFixture, OutlookProfileValuesOfWine) {
    TempPrefix p(true);
    RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
    const std::string section =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
        "Subsystem\\Profiles\\Outlook\\13dbb0c8aa05101a9bb000aa002fc45a";
    const std::string oldPath =
        "C:\\users\\root\\Local Settings\\Application Data\\Microsoft\\Outlook\\Outlook.pst";

    EXPECT_EQ(ReadRegBinaryPath(f.reg, section, "01020fff"), oldPath);
    // "001f6700" is the bare UTF-16 path: its ":\" stands at the second
    // character, which the reader does not take for a drive path.
    EXPECT_EQ(ReadRegBinaryPath(f.reg, section, "001f6700"), std::nullopt);

    const std::string newPath = "D:\\Mail\\Restored.pst";
    for (const char* name : {"01020fff", "001f6700"})
        ReplaceInRegBinary(f.reg, section, name, oldPath, newPath);
    EXPECT_EQ(ReadRegBinaryPath(f.reg, section, "01020fff"), newPath);
    EXPECT_EQ(ReadRegBinaryHex(f.reg, section, "001f6700"),
              "44=0=3A=0=5C=0=4D=0=61=0=69=0=6C=0=5C=0=52=0=65=0=73=0=74=0=6F=0=72=0=65=0=64=0="
              "2E=0=70=0=73=0=74=0=0=0");
    EXPECT_TRUE(f.prompter.messages.empty());
}
