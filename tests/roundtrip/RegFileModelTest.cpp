// The round trip's own reader and writer of Wine registry files, judged by
// files Wine 8.0 wrote itself: what it reads is what Wine stored, and what it
// writes is the text Wine writes (key time stamps aside).
#include "RegFileModel.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace roundtrip;

namespace {

const fs::path kWine = fs::path(TRELMIG_FIXTURES_DIR) / "wine-8.0";
const std::string kSampleKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows "
                               "Messaging Subsystem\\Profiles\\Outlook\\"
                               "9207f3e0a3b11019908b08002b2a56c2";

// The file's lines with the time of each key dropped, and the class and
// link markers the round trip has no use for.
std::vector<std::string> withoutTimes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("#time=") || line.starts_with("#class=") || line == "#link")
            continue;
        if (line.starts_with("["))
            line = line.substr(0, line.rfind(']') + 1);
        lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST(RegFileModel, ReadsWhatWineStored) {
    const RegFileModel user = RegFileModel::read(kWine / "user.reg");
    EXPECT_TRUE(user.win64());
    EXPECT_EQ(stringOf(*user.value(kSampleKey, "NonAscii")), "café 中文 x");
    EXPECT_EQ(stringOf(*user.value(kSampleKey, "NonAsciiThenHex")), "éa中b");
    EXPECT_EQ(stringOf(*user.value(kSampleKey, "Emoji")), "smile \xF0\x9F\x98\x80 end");
    EXPECT_EQ(stringOf(*user.value(kSampleKey, "Backslash")), "a\\b\\\\c\\");
    EXPECT_EQ(stringOf(*user.value(kSampleKey, "Quote")), "he said \"hi\"");
    EXPECT_EQ(stringOf(*user.value(kSampleKey, "caf\xC3\xA9")), "name is non-ascii");
    EXPECT_EQ(user.value(kSampleKey, "ExpandPath")->type, kRegExpandSz);
    const RegData multi = *user.value(kSampleKey, "MultiSz");
    EXPECT_EQ(multi.type, kRegMultiSz);
    EXPECT_EQ(multi.bytes.size(), 2u * std::string("first0second string0C:\\third00").size());
    EXPECT_EQ(user.value(kSampleKey, "QwordVal")->bytes,
              (std::vector<unsigned char>{0xef, 0xcd, 0xab, 0x89, 0x67, 0x45, 0x23, 0x01}));
    EXPECT_EQ(user.value(kSampleKey, "Dword3bytes")->type, kRegDword);
    EXPECT_EQ(user.value(kSampleKey, "Dword3bytes")->bytes.size(), 3u);
    EXPECT_TRUE(user.value(kSampleKey, "EmptyBinary")->bytes.empty());
    // A wrapped hex value, continued over several lines.
    const std::string profile = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows "
                                "Messaging Subsystem\\Profiles\\Outlook";
    std::vector<std::string> paths;
    for (const auto& section : user.subkeyNames(profile))
        if (const auto value = user.value(profile + "\\" + section, "001f6700"))
            paths.push_back(stringOf(*value));
    EXPECT_EQ(paths, std::vector<std::string>{"C:\\users\\root\\Local Settings\\Application "
                                              "Data\\Microsoft\\Outlook\\Outlook.pst"});
    // Escaped brackets and non-ASCII letters in a key name.
    EXPECT_NE(user.find("Software\\SampleKeys\\K\xC3\xA9\xE4\xB8\xAD[br]ackets\\Sub Key"), nullptr);
}

TEST(RegFileModel, WritesTheTextWineWrites) {
    char folder[] = "/tmp/trelmig-regfile-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    for (const char* hive : {"user.reg", "userdef.reg", "initial/user.reg", "initial/system.reg"}) {
        SCOPED_TRACE(hive);
        const fs::path written = fs::path(folder) / "written.reg";
        RegFileModel::read(kWine / hive).write(written);
        const auto expected = withoutTimes(kWine / hive);
        const auto actual = withoutTimes(written);
        std::size_t i = 0;
        while (i < expected.size() && i < actual.size() && expected[i] == actual[i])
            ++i;
        EXPECT_EQ(i, expected.size())
            << "first difference at line " << i + 1
            << ":\n  Wine: " << (i < expected.size() ? expected[i] : "(end)")
            << "\n  ours: " << (i < actual.size() ? actual[i] : "(end)");
        EXPECT_EQ(actual.size(), expected.size());
    }
    fs::remove_all(folder);
}
