#include "BorgRepositoryFixture.h"
#include "SamplePrefixCopy.h"

#include <chrono>
#include <csignal>
#include <thread>

using namespace trelmig;

namespace {

const std::string kPassphrase = "correct horse";

} // namespace

TEST_F(BorgRepositoryFixture, VersionsKeepTheirFilesNamesAndWhatTheRunStored) {
    ASSERT_TRUE(MakeRepository(repository_, kPassphrase).has_value());
    EXPECT_FALSE(MakeRepository(repository_, kPassphrase).has_value()); // never over one
    EXPECT_EQ(RepositoryExists(repository_, kPassphrase).value_or(false), true);

    const auto from = folder("stage");
    writeFile(from / "vastrel.dat", "[Info]\n");
    writeFile(from / "Signatures/Work.htm", "<p>Sam</p>");
    std::uint64_t lastOriginal = 0;
    auto first =
        CreateVersion(repository_, kPassphrase, request(from, "Outlook", {2026, 1, 1, 9, 0, 0}),
                      [&](const RepositoryProgress& p) {
                          lastOriginal = std::max(lastOriginal, p.originalBytes);
                      });
    ASSERT_TRUE(first.has_value()) << first.error().message;
    EXPECT_EQ(first->name, "host%2Da-.wine-Outlook-2026-01-01T09:00:00");
    EXPECT_GT(first->addedBytes, 0u);

    writeFile(from / "vastrel.dat", "[Info]\nchanged\n");
    ASSERT_TRUE(
        CreateVersion(repository_, kPassphrase, request(from, "Outlook", {2026, 1, 2, 9, 0, 0})));

    const auto versions = ListVersions(repository_, kPassphrase);
    ASSERT_TRUE(versions.has_value()) << versions.error().message;
    ASSERT_EQ(versions->size(), 2u);
    EXPECT_EQ(versions->front().name, first->name);
    EXPECT_EQ(versions->front().computer, "host-a");
    EXPECT_EQ(versions->front().profile, "Outlook");
    EXPECT_EQ(versions->front().items, "1011");
    EXPECT_LT(versions->front().time, versions->back().time);
    EXPECT_EQ(FindVersion(repository_, kPassphrase, "latest")->name, versions->back().name);

    const auto out = folder("out");
    ASSERT_TRUE(ExtractVersion(repository_, kPassphrase, first->name, out.string()).has_value());
    EXPECT_EQ(readWholeFile(out / "vastrel.dat"), "[Info]\n");
    EXPECT_EQ(readWholeFile(out / "Signatures/Work.htm"), "<p>Sam</p>");
    EXPECT_TRUE(CheckRepository(repository_, kPassphrase, true).has_value());
    const auto key = ExportRepositoryKey(repository_, kPassphrase);
    ASSERT_TRUE(key.has_value()) << key.error().message;
    EXPECT_NE(key->find("BORG PAPER KEY"), std::string::npos);
}

TEST_F(BorgRepositoryFixture, AMissingRepositoryIsSaidSoAndNeverMade) {
    EXPECT_EQ(RepositoryExists(repository_, kPassphrase).value_or(true), false);
    const auto made =
        CreateVersion(repository_, kPassphrase, request(folder("s"), "P", {2026, 1, 1, 0, 0, 0}));
    ASSERT_FALSE(made.has_value());
    EXPECT_NE(made.error().message.find("there is no repository at " + repository_.url),
              std::string::npos)
        << made.error().message;
    EXPECT_FALSE(std::filesystem::exists(repository_.url));
}

TEST_F(BorgRepositoryFixture, AWrongPassphraseIsRefusedAndChangesNothing) {
    ASSERT_TRUE(MakeRepository(repository_, kPassphrase).has_value());
    const auto from = folder("stage");
    writeFile(from / "a", "a");
    ASSERT_TRUE(CreateVersion(repository_, kPassphrase, request(from, "P", {2026, 1, 1, 0, 0, 0})));
    const auto refused =
        CreateVersion(repository_, "wrong", request(from, "P", {2026, 1, 2, 0, 0, 0}));
    ASSERT_FALSE(refused.has_value());
    EXPECT_NE(refused.error().message.find("passphrase"), std::string::npos)
        << refused.error().message;
    EXPECT_FALSE(ListVersions(repository_, "").has_value());
    EXPECT_EQ(ListVersions(repository_, kPassphrase)->size(), 1u);
    EXPECT_EQ(borgCheck(kPassphrase).status, 0);
}

TEST_F(BorgRepositoryFixture, WithoutBorgTheMessageNamesThePackage) {
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", (work_.path() / "empty").c_str(), 1);
    const auto listed = ListVersions(repository_, kPassphrase);
    ::setenv("PATH", path.c_str(), 1);
    ASSERT_FALSE(listed.has_value());
    EXPECT_NE(listed.error().message.find("install the package borgbackup"), std::string::npos);
}
