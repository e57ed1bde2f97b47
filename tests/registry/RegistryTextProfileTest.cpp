#include "registry/RegistryText.h"

#include "RegistryTestSupport.h"
#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>
#include <iostream>

using namespace trelmig;
using namespace trelmig::test;

namespace {

const std::string kProfiles =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

// A value as it comes back from the text: names and strings through the ANSI
// code page, DWORDs as 4 bytes; other types and names with "=" do not come back.
std::optional<RegValue> afterText(const RegValue& v, const AnsiCodec& ansi) {
    if (v.name.find('=') != std::string::npos)
        return std::nullopt;
    const auto viaAnsi = [&](const std::string& s) { return ansi.toUtf8(ansi.fromUtf8(s)); };
    RegValue out{viaAnsi(v.name), v.type, v.data};
    switch (v.type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::string text(v.data.begin(), v.data.end());
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        return sz(out.name, viaAnsi(text), v.type);
    }
    case REG_DWORD:
        out.data.resize(4, 0);
        return out;
    case REG_BINARY:
        return out;
    default:
        return std::nullopt;
    }
}

} // namespace

TEST(RegistryTextProfile, FixtureProfileTravelsToANewProfileName) {
    TempPrefix p(true);
    TreeSnapshot expected;
    {
        RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
        const std::string out = p.file("OBC5.tmp");
        ExportRegTree(f.reg, hkcu(kProfiles + "\\Outlook"), "", out);
        const auto fullCount = readLines(out).size();

        // The string with a line break is written unescaped: its second half is
        // a line the import refuses, so that export cannot be restored.
        const auto filesBefore = p.regFiles();
        EXPECT_THROW(ImportRegText(f.reg, hkcu(kProfiles + "\\Copy"), out), RegistryTextError);
        EXPECT_FALSE(f.registry->keyExists(RootKey::CurrentUser, kProfiles + "\\Copy"));
        EXPECT_EQ(p.regFiles(), filesBefore);

        // Without it, the profile travels whole.
        const std::string section = kProfiles + "\\Outlook\\9207f3e0a3b11019908b08002b2a56c2";
        ASSERT_EQ(f.registry->deleteValue(RootKey::CurrentUser, section, "Newline"), ERROR_SUCCESS);
        ExportRegTree(f.reg, hkcu(kProfiles + "\\Outlook"), "", out);
        const auto lineCount = readLines(out).size();
        std::cout << "Export of the fixture profile: " << fullCount << " lines; " << lineCount
                  << " without the string holding a line break\n";
        EXPECT_EQ(lineCount, fullCount - 2);

        for (const auto& [key, values] : snapshot(*f.registry, kProfiles + "\\Outlook")) {
            auto& carried = expected[key];
            for (const auto& v : values)
                if (auto c = afterText(v, f.ansi))
                    carried.push_back(*c);
        }
        ASSERT_EQ(expected.size(), 5u);

        ImportRegText(f.reg, hkcu(kProfiles + "\\Copy"), out);
    }
    WineRegistry fromDisk(p.prefix());
    EXPECT_EQ(snapshot(fromDisk, kProfiles + "\\Copy"), expected);
    EXPECT_TRUE(fromDisk.keyExists(
        RootKey::CurrentUser,
        kProfiles + "\\Copy\\0a0d020000000000c000000000000046\\Key With Blank=And Equals"));
}

TEST(RegistryTextProfile, SampleProfileTravelsToANewProfileName) {
    SamplePrefixCopy sample;
    TreeSnapshot expected;
    {
        RegistryFixture f(std::make_unique<WineRegistry>(WinePrefix(sample.root)));
        const std::string out = (sample.work.path() / "OBC6.tmp").string();
        ExportRegTree(f.reg, hkcu(kProfiles + "\\Outlook"), "", out);
        std::cout << "Export of the sample's profile \"Outlook\": " << readLines(out).size()
                  << " lines\n";
        for (const auto& [key, values] : snapshot(*f.registry, kProfiles + "\\Outlook")) {
            auto& carried = expected[key];
            for (const auto& v : values)
                if (auto c = afterText(v, f.ansi))
                    carried.push_back(*c);
        }
        ImportRegText(f.reg, hkcu(kProfiles + "\\Copy"), out);
    }
    WineRegistry fromDisk{WinePrefix(sample.root)};
    EXPECT_EQ(snapshot(fromDisk, kProfiles + "\\Copy"), expected);
    EXPECT_EQ(snapshot(fromDisk, kProfiles + "\\Copy").size(),
              13u); // the profile and its 12 subkeys
}
