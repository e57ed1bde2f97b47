#include "registry/RegistryKeys.h"

#include "RegistryTestSupport.h"

#include <gtest/gtest.h>

using namespace trelmig;
using namespace trelmig::test;

namespace {

const std::string kKey = "Software\\Keys";

} // namespace

TEST(RegistryKeys, ReadsTellAMissingValueFromAnyTextItHolds) {
    RegistryFixture f(std::make_unique<WineRegistry>());
    put(*f.registry, kKey, {sz("Name", "Error"), sz("Blank", "   "), sz("Padded", "  a b  ")});

    // A profile or a folder may well be called "Error": it is a value.
    EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey), "Name"), "Error");
    EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey), "Blank"), "");
    EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey), "Padded"), "a b");

    EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey), "Missing"), std::nullopt);
    EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey + "\\Missing"), "Name"), std::nullopt);
    EXPECT_EQ(f.reg.ReadRegString("Software\\Keys", "Name"), std::nullopt);
    EXPECT_EQ(f.prompter.messages.size(), 1u) << "a malformed path is still reported";

    // Over the 254 ANSI bytes the program's reads take.
    put(*f.registry, kKey, {sz("Fits", std::string(254, 'x')), sz("Long", std::string(255, 'x'))});
    EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey), "Fits"), std::string(254, 'x'));
    EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey), "Long"), std::nullopt);
}

TEST(RegistryKeys, AValueOfWinesOwnRegistryReadingErrorIsThatText) {
    // Wine 8.0 itself names an interface "Error" in system.reg.
    TempPrefix p(true);
    RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
    EXPECT_EQ(f.reg.ReadRegString("HKEY_LOCAL_MACHINE\\Software\\Classes\\Interface\\"
                                  "{00000500-0000-0010-8000-00AA006D2EA4}",
                                  ""),
              "Error");
}

TEST(RegistryKeys, ChangesFailWithAReasonWhereTheyCannotBeMade) {
    RegistryFixture f(std::make_unique<WineRegistry>());
    put(*f.registry, kKey + "\\Sub\\Deeper", {sz("v", "1")});

    const auto intoMissing = f.reg.WriteRegString(hkcu(kKey + "\\Missing"), "v", "x");
    ASSERT_FALSE(intoMissing.has_value());
    EXPECT_NE(intoMissing.error().message.find(kKey + "\\Missing"), std::string::npos);
    EXPECT_FALSE(f.registry->keyExists(RootKey::CurrentUser, kKey + "\\Missing"));

    ASSERT_TRUE(f.reg.WriteRegString(hkcu(kKey), "v", "Error").has_value());
    EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey), "v"), "Error");

    // What is not there is as good as deleted.
    EXPECT_TRUE(f.reg.DeleteRegValue(hkcu(kKey), "never").has_value());
    EXPECT_TRUE(f.reg.DeleteRegTree(hkcu(kKey + "\\Never")).has_value());
    EXPECT_FALSE(f.reg.DeleteRegKey(hkcu(kKey)).has_value()) << "it has subkeys";
    EXPECT_TRUE(f.registry->keyExists(RootKey::CurrentUser, kKey + "\\Sub\\Deeper"));
    EXPECT_TRUE(f.reg.DeleteRegTree(hkcu(kKey)).has_value());
    EXPECT_FALSE(f.registry->keyExists(RootKey::CurrentUser, kKey));
}

TEST(RegistryKeys, ASaveThatCannotBeWrittenNamesTheFileAndDropsTheChanges) {
    TempPrefix p(true);
    RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
    const std::string key = "HKEY_CURRENT_USER\\Software\\Wine\\Debug";
    ASSERT_TRUE(f.reg.RegKeyExists(key));
    ASSERT_TRUE(f.reg.WriteRegString(key, "Version", "win10").has_value());
    // Another program rewrites user.reg after it was read.
    const std::string changed = readFileBytes(p.root() / "user.reg") + "\n";
    writeFileBytes(p.root() / "user.reg", changed);

    const auto saved = f.reg.Save();

    ASSERT_FALSE(saved.has_value());
    EXPECT_NE(saved.error().message.find((p.root() / "user.reg").string()), std::string::npos)
        << saved.error().message;
    EXPECT_EQ(f.reg.ReadRegString(key, "Version"), std::nullopt);
    EXPECT_FALSE(f.registry->hasUnsavedChanges());
    EXPECT_EQ(readFileBytes(p.root() / "user.reg"), changed);
}
