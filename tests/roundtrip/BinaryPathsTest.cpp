// The round trip's finder of data file paths in binary values, on a store
// entry ID as Wine 8.0 stored it: if it found nothing, a path the restore
// left behind would go unnoticed.
#include "BinaryPaths.h"
#include "OutlookPrefix.h"
#include "RegFileModel.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace roundtrip;

TEST(BinaryPaths, FindsAndMovesTheDataFilePathOfAStoredEntryId) {
    const RegFileModel user =
        RegFileModel::read(fs::path(TRELMIG_FIXTURES_DIR) / "wine-8.0" / "user.reg");
    const std::string profile =
        "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles\\"
        "Outlook";
    std::vector<unsigned char> entryId;
    for (const auto& section : user.subkeyNames(profile))
        if (const auto value = user.value(profile + "\\" + section, "01020fff"))
            entryId = value->bytes;
    ASSERT_FALSE(entryId.empty());
    const std::string old =
        "C:\\users\\root\\Local Settings\\Application Data\\Microsoft\\Outlook\\Outlook.pst";
    EXPECT_EQ(embeddedPaths(entryId), std::vector<std::string>{old});

    const std::string now = "C:\\users\\jürgen\\AppData\\Local\\Microsoft\\Outlook\\Outlook.pst";
    const auto movedId = moved(entryId, {{old, now}});
    EXPECT_EQ(embeddedPaths(movedId), std::vector<std::string>{now});
    // The bytes before the path are the provider's, untouched.
    EXPECT_TRUE(std::equal(entryId.begin(), entryId.begin() + 30, movedId.begin()));

    // A single-byte path, as older Outlooks stored it, is found and moved too.
    const auto narrow = pstEntryId(old, true);
    EXPECT_EQ(embeddedPaths(narrow), std::vector<std::string>{old});
    EXPECT_EQ(embeddedPaths(moved(narrow, {{old, now}})), std::vector<std::string>{now});
}
