#include "registry/RegistrySnapshot.h"

#include "RegistryTestSupport.h"

#include <gtest/gtest.h>

using namespace trelmig;
using namespace trelmig::test;

namespace {

const std::string kKey = "Software\\Kept";

} // namespace

// Every value type and every subkey comes back as it was, and what was added
// after the snapshot goes.
TEST(RegistrySnapshot, AKeyPutBackIsTheKeyThatWasKept) {
    TempPrefix p;
    RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
    buildGoldenTree(*f.registry, kKey);
    const TreeSnapshot before = snapshot(*f.registry, kKey);
    const auto kept = KeySnapshot(f.reg, hkcu(kKey));
    ASSERT_TRUE(kept) << kept.error().message;

    ASSERT_TRUE(f.reg.DeleteRegTree(hkcu(kKey + "\\Key With Blank=Eq")));
    put(*f.registry, kKey + "\\Added\\Deeper", {dword("n", 1)});
    ASSERT_TRUE(f.reg.WriteRegString(hkcu(kKey), "EmptySz", "changed"));

    const auto restored = PutBackKey(f.reg, hkcu(kKey), &*kept, "kept.reg");
    ASSERT_TRUE(restored) << restored.error().message;
    EXPECT_EQ(snapshot(*f.registry, kKey), before);
    // Without a snapshot (the key was new) the key goes.
    ASSERT_TRUE(PutBackKey(f.reg, hkcu(kKey), nullptr, ""));
    EXPECT_FALSE(f.reg.RegKeyExists(hkcu(kKey)));
}

TEST(RegistrySnapshot, AValuePutBackLeavesTheOtherValuesAlone) {
    TempPrefix p;
    RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
    put(*f.registry, kKey, {sz("Kept", "old"), sz("Other", "other")});
    const std::string name = "Kept";
    const auto kept = KeySnapshot(f.reg, hkcu(kKey), &name);
    ASSERT_TRUE(kept);
    ASSERT_TRUE(f.reg.WriteRegString(hkcu(kKey), "Kept", "new"));
    ASSERT_TRUE(f.reg.WriteRegString(hkcu(kKey), "Other", "changed too"));
    ASSERT_TRUE(f.reg.WriteRegString(hkcu(kKey), "Made", "later"));

    ASSERT_TRUE(PutBackValue(f.reg, hkcu(kKey), "Kept", &*kept, "kept.reg"));
    ASSERT_TRUE(PutBackValue(f.reg, hkcu(kKey), "Made", nullptr, ""));
    EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey), "Kept"), "old");
    EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey), "Other"), "changed too");
    EXPECT_FALSE(HasRegValue(f.reg, hkcu(kKey), "Made"));
}

// A snapshot of another key, or one that is damaged, changes nothing and
// names the file it came from.
TEST(RegistrySnapshot, ASnapshotNotHoldingTheKeyIsRefused) {
    TempPrefix p;
    RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
    put(*f.registry, kKey, {sz("v", "1")});
    put(*f.registry, "Software\\Elsewhere", {sz("w", "2")});
    const auto other = KeySnapshot(f.reg, hkcu("Software\\Elsewhere"));
    ASSERT_TRUE(other);
    for (const std::string& text : {*other, std::string("not a registry file")}) {
        const auto restored = PutBackValue(f.reg, hkcu(kKey), "v", &text, "undo/keys-1.reg");
        ASSERT_FALSE(restored);
        EXPECT_NE(restored.error().message.find("undo/keys-1.reg"), std::string::npos)
            << restored.error().message;
        EXPECT_EQ(f.reg.ReadRegString(hkcu(kKey), "v"), "1");
    }
}
