#include "repository/RepositoryAddress.h"
#include "repository/RepositoryVersion.h"

#include <gtest/gtest.h>

using namespace trelmig;

TEST(RepositoryAddressTest, TakesAbsoluteFoldersAndSshUrlsOnly) {
    for (const char* good :
         {"/srv/backup/repo", "ssh://sam@nas/srv/repo", "ssh://sam@nas.example.org:2222/~/repo"})
        EXPECT_TRUE(ParseRepositoryAddress(good).has_value()) << good;
    for (const char* bad : {"", "repo", "nas:/srv/repo", "ssh://nas/srv/repo",
                            "ssh://sam@nas:0/srv/repo", "ssh://sam@nas:http/srv", "ssh://sam@nas",
                            "sftp://sam@nas/srv", "/srv/repo::version", "/srv/re\npo"})
        EXPECT_FALSE(ParseRepositoryAddress(bad).has_value()) << bad;
    EXPECT_TRUE(IsRemoteRepository({"ssh://sam@nas/r"}));
    EXPECT_FALSE(IsRemoteRepository({"/r"}));
}

TEST(RepositoryVersionNameTest, SourcesNeverBeginOneAnother) {
    // A profile named with a dash must not let one source's glob take another's versions.
    const auto plain = RepositorySourceName("pc", ".wine", "Outlook");
    const auto dashed = RepositorySourceName("pc", ".wine", "Outlook-2");
    const auto name = RepositoryVersionName(dashed, {2026, 12, 10, 7, 5, 9});
    EXPECT_EQ(name, "pc-.wine-Outlook%2D2-2026-12-10T07:05:09");
    EXPECT_FALSE(name.starts_with(plain + "-2"));
    EXPECT_EQ(SourceOfVersionName(name), dashed);

    const auto odd = RepositorySourceName("a/b", "x::y", "50% [new] *");
    EXPECT_EQ(odd.find_first_of("/*?[] "), std::string::npos);
    EXPECT_EQ(odd.find("::"), std::string::npos);
    EXPECT_EQ(SourceOfVersionName(RepositoryVersionName(odd, {2026, 1, 2, 3, 4, 5})), odd);
    EXPECT_FALSE(SourceOfVersionName("pc-.wine-Outlook-2026-12-10T07:05:09.checkpoint"));
    EXPECT_FALSE(SourceOfVersionName("backup-2026-12-10T07:05:09"));
}

TEST(RepositoryVersionNameTest, CommentKeepsWhatTheRunStored) {
    RepositoryVersion stored;
    stored.computer = "pc=1";
    stored.prefix = "100%\nwine";
    stored.profile = "Outlook";
    stored.items = "1111111111";
    RepositoryVersion read;
    ReadVersionComment(VersionComment(stored) + "unknown=1\nno line\n", read);
    EXPECT_EQ(read.computer, stored.computer);
    EXPECT_EQ(read.prefix, stored.prefix);
    EXPECT_EQ(read.profile, stored.profile);
    EXPECT_EQ(read.items, stored.items);
}
