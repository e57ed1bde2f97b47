#include "platform/WineRegistryFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace trelmig;

namespace {

std::string readFixture(const std::string& name) {
    std::ifstream in(std::string(TRELMIG_FIXTURES_DIR) + "/wine-8.0/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Names the first line where two texts differ, instead of printing megabytes.
std::string firstDifference(const std::string& a, const std::string& b) {
    if (a == b)
        return "";
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    const std::size_t lineStart = a.rfind('\n', i == 0 ? 0 : i - 1);
    const std::size_t from = lineStart == std::string::npos ? 0 : lineStart + 1;
    const auto line = std::count(a.begin(), a.begin() + static_cast<long>(from), '\n') + 1;
    return "line " + std::to_string(line) +
           ":\n  got:  " + a.substr(from, a.find('\n', from) - from) +
           "\n  want: " + b.substr(from, b.find('\n', from) - from);
}

std::string roundTrip(const std::string& text) {
    return formatWineRegistry(parseWineRegistry(text, "test.reg"));
}

const std::string kHeader = "WINE REGISTRY Version 2\n;; All keys relative to "
                            "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";

} // namespace

TEST(WineRegistryFormat, FilesWrittenByWineRoundTripByteForByte) {
    for (const char* name : {"user.reg", "userdef.reg", "roundtrip-normalized-user.reg",
                             "initial/user.reg", "initial/system.reg", "initial/userdef.reg"}) {
        const std::string text = readFixture(name);
        EXPECT_EQ(firstDifference(roundTrip(text), text), "") << name;
    }
}

// How fast this goes is bench/registry-format-bench's figure.
TEST(WineRegistryFormat, LargeSystemFileRoundTripsByteForByte) {
    const std::string text = readFixture("system.reg");
    EXPECT_EQ(firstDifference(roundTrip(text), text), "");
}

// Hand-edited input in the forms Wine accepts is written back in Wine's own
// form: sections merged, escaped, lower-case hex, wrapped, strings recognised.
TEST(WineRegistryFormat, HandEditedInputIsNormalisedAsWineDoes) {
    const std::string input = kHeader + "\n"
                                        "[Software\\\\RoundTrip\\\\Raw UTF8 K\xc3\xa9\xe4\xb8\xad] "
                                        "1687071714\n"
                                        "#time=1d9a1b2c3d4e5f6\n"
                                        "\"dwUpper\"=dword:FFFFFFFF\n"
                                        "\"hex2\"=hex(2):25,00,41,00,25,00,00,00\n"
                                        "\"hex7\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
                                        "\"hexUpper\"=hex:AA,BB,CC\n"
                                        "\"spaces\" = \"space around equals\"\n"
                                        "\"strcolon\"=str:\"legacy str: prefix\"\n"
                                        "\"wrapped\"=hex:01,02,03,\\\n"
                                        "    04,05,06\n"
                                        "\"\xe5\x90\x8d\xe5\x89\x8d\"=\"raw utf8 caf\xc3\xa9 "
                                        "\xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x98\x80\"\n"
                                        "\n"
                                        "[Software\\\\RoundTrip\\\\Zeta] 1700000000\n"
                                        "\"b\"=\"written without #time\"\n"
                                        "\n"
                                        "[Software\\\\RoundTrip\\\\Zeta] 1700000000\n"
                                        "\"c\"=\"second section for same key\"\n";
    // What Wine 8.0 itself wrote for these keys (tests/data/wine-8.0).
    const std::string expected = kHeader + R"(
[Software\\RoundTrip\\Raw UTF8 K\xe9\x4e2d] 1687071714
#time=1d9a1b2c3d4e5f6
"dwUpper"=dword:ffffffff
"hex2"=str(2):"%A%"
"hex7"=str(7):"a\0b\0"
"hexUpper"=hex:aa,bb,cc
"spaces"="space around equals"
"strcolon"="legacy str: prefix"
"wrapped"=hex:01,02,03,04,05,06
"\x540d\x524d"="raw utf8 caf\xe9 \x4e2d\x6587 \xd83d\xde00"

[Software\\RoundTrip\\Zeta] 1700000000
#time=1da1747c66d0000
"b"="written without #time"
"c"="second section for same key"
)";
    EXPECT_EQ(roundTrip(input), expected);
    EXPECT_NE(readFixture("roundtrip-normalized-user.reg").find(expected.substr(kHeader.size())),
              std::string::npos);
}

TEST(WineRegistryFormat, EscapesAndEveryValueTypeSurvive) {
    RegHive hive;
    hive.preamble = kHeader;
    RegNode* key = hive.root->addSubkey(u"Soft[w]are", 133444736000000000ull);
    auto utf16 = [](std::u16string s) {
        std::vector<std::uint8_t> d;
        for (char16_t c : s) {
            d.push_back(static_cast<std::uint8_t>(c & 0xFF));
            d.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        return d;
    };
    key->setValue({u"ctl", 1,
                   utf16(std::u16string(u"a\x1b\x01"
                                        u"7\x01x\x7f\"\\") +
                         u'\0')});
    key->setValue({u"odd", 1, {0x41, 0, 0x42}});
    key->setValue({u"unterminated", 2, utf16(u"ab")});
    key->setValue({u"dword5", 4, {1, 2, 3, 4, 5}});
    key->setValue({u"qword", 11, {1, 2, 3, 4, 5, 6, 7, 8}});
    key->setValue({u"", 3, {}});
    const std::string text = formatWineRegistry(hive);
    EXPECT_NE(text.find("[Soft\\[w\\]are] 1700000000\n#time=1da1747c66d0000\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("@=hex:\n"), std::string::npos);
    EXPECT_NE(text.find("\"ctl\"=\"a\\e\\0017\\1x\x7f\\\"\\\\\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"odd\"=hex(1):41,00,42\n"), std::string::npos);
    EXPECT_NE(text.find("\"unterminated\"=hex(2):61,00,62,00\n"), std::string::npos);
    EXPECT_NE(text.find("\"dword5\"=hex(4):01,02,03,04,05\n"), std::string::npos);
    EXPECT_NE(text.find("\"qword\"=hex(b):01,02,03,04,05,06,07,08\n"), std::string::npos);

    const RegHive back = parseWineRegistry(text, "x.reg");
    const RegNode* k = back.root->findSubkey(u"SOFT[W]ARE");
    ASSERT_NE(k, nullptr);
    ASSERT_EQ(k->values.size(), key->values.size());
    for (std::size_t i = 0; i < k->values.size(); ++i) {
        EXPECT_EQ(k->values[i].name, key->values[i].name);
        EXPECT_EQ(k->values[i].type, key->values[i].type);
        EXPECT_EQ(k->values[i].data, key->values[i].data) << i;
    }
    EXPECT_EQ(formatWineRegistry(back), text);
}

TEST(WineRegistryFormat, MalformedFilesNameTheFileAndLine) {
    auto errorOf = [](const std::string& text) {
        try {
            parseWineRegistry(text, "/p/user.reg");
        } catch (const RegistryError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(errorOf("REGEDIT4\n"), "/p/user.reg:1: not a Wine registry file (the first line is "
                                     "not \"WINE REGISTRY Version 2\")");
    EXPECT_EQ(errorOf(kHeader + "\n[A] 1\n\"v\"=\"x\"\nrubbish\n").substr(0, 14), "/p/user.reg:8:");
    EXPECT_EQ(errorOf(kHeader + "\n[A] 1\n\"v\"=\"unterminated\n").substr(0, 14), "/p/user.reg:7:");
    EXPECT_EQ(errorOf(kHeader + "\n[A] 1\n\"v\"=hex:01,\\\n").substr(0, 14), "/p/user.reg:7:");
    EXPECT_EQ(errorOf(kHeader + "\n[A] 1\n\"v\"=hex:1ff\n").substr(0, 14), "/p/user.reg:7:");
    EXPECT_EQ(errorOf(kHeader + "\n[A] 1\n\"v\"=weird:1\n").substr(0, 14), "/p/user.reg:7:");
    EXPECT_EQ(errorOf(kHeader + "\"v\"=\"x\"\n").substr(0, 14), "/p/user.reg:5:");
    EXPECT_EQ(errorOf(kHeader + "\n[A\\\\\\\\B] 1\n").substr(0, 14), "/p/user.reg:6:");
    // A dword that is no hex number is an error, not 0.
    for (const char* dword : {"dword:", "dword:zz", "dword:-1", "dword:123456789", "dword:12 x",
                              "dword:0x10", "dword: 1"})
        EXPECT_EQ(errorOf(kHeader + "\n[A] 1\n\"v\"=" + dword + "\n"),
                  "/p/user.reg:7: bad dword value")
            << dword;
    const RegHive shortDword = parseWineRegistry(kHeader + "\n[A] 1\n\"v\"=dword:1f \n", "u");
    EXPECT_EQ(shortDword.root->subkeys[0]->values[0].data,
              (std::vector<std::uint8_t>{0x1f, 0, 0, 0}));
}

TEST(WineRegistryFormat, KeysDeeperThanWindowsAllowsAreRefused) {
    // Each level costs three bytes: 55 KB of text nests 18,000 keys deep.
    auto nested = [](std::size_t depth) {
        std::string path = "k";
        for (std::size_t i = 1; i < depth; ++i)
            path += "\\\\k";
        return kHeader + "\n[" + path + "] 1\n\"v\"=\"x\"\n";
    };
    EXPECT_NO_THROW(parseWineRegistry(nested(kMaxKeyDepth), "u"));
    try {
        parseWineRegistry(nested(18000), "/p/user.reg");
        FAIL() << "a key 18,000 levels deep was loaded";
    } catch (const RegistryError& e) {
        EXPECT_STREQ(e.what(), "/p/user.reg:6: key nested deeper than 512 levels");
    }
}
