// The item mask as the command line, the scheduled jobs and the window's
// memory write it.
#include "core/ItemMask.h"

#include <gtest/gtest.h>

using namespace trelmig;

TEST(ItemMask, OnlyOneZeroOrOnePerBoxIsAMask) {
    for (const char* bad : {"", "1000000", "100000001", "1000000x", "1000 001", "10000001 "})
        EXPECT_FALSE(ItemMask::Parse(bad)) << bad;
    const auto mask = ItemMask::Parse("10000001");
    ASSERT_TRUE(mask);
    EXPECT_TRUE(mask->Has(ItemPersonalFolders));
    EXPECT_FALSE(mask->Has(ItemAccounts));
    EXPECT_TRUE(mask->Has(ItemPreferences));
    EXPECT_EQ(mask->Text(), "10000001");
    EXPECT_TRUE(ItemMask::Parse("00000000")->Empty());
    EXPECT_EQ(ItemMask(mask->Boxes()), *mask);
}

TEST(ItemMask, AnUncheckedTextTicksOnlyTheBoxesOfItsOnes) {
    EXPECT_EQ(ItemMask::Lenient("01").Text(), "01000000");
    EXPECT_EQ(ItemMask::Lenient("1x1?00001111").Text(), "10100000");
    EXPECT_TRUE(ItemMask::Lenient("").Empty());
}
