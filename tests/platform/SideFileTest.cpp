#include "platform/SideFile.h"

#include "platform/WorkFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
using trelmig::SideFile;
using trelmig::WorkFolder;

namespace {

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

} // namespace

TEST(SideFile, ReplacesTheTargetOnlyOnCommitAndKeepsItsMode) {
    WorkFolder dir;
    const fs::path target = dir.path() / "user.reg";
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);
    {
        SideFile file(target.string());
        file.create();
        EXPECT_EQ(fs::path(file.path()).filename().string().rfind(".user.reg.trelmig-", 0), 0u);
        file.write("new", 3);
        EXPECT_EQ(contentOf(target), "old") << "the target is untouched until the commit";
        file.commit();
    }
    EXPECT_EQ(contentOf(target), "new");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(SideFile, AnUncommittedFileIsRemovedAndTheTargetKept) {
    WorkFolder dir;
    const fs::path target = dir.path() / "backup.kvx";
    std::ofstream(target) << "old";
    {
        SideFile file(target.string());
        file.create();
        file.write("partial", 7);
    }
    EXPECT_EQ(contentOf(target), "old");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(SideFile, AMissingFolderOrAVanishedFileIsAnErrorThatNamesIt) {
    WorkFolder dir;
    auto failureOf = [](auto&& action) {
        try {
            action();
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("no failure");
    };
    SideFile nowhere((dir.path() / "gone" / "x.iso").string());
    EXPECT_NE(failureOf([&] { nowhere.create(); }).find("gone"), std::string::npos);

    const fs::path target = dir.path() / "x.iso";
    SideFile file(target.string());
    file.create();
    file.close();
    fs::remove(file.path());
    EXPECT_NE(failureOf([&] { file.commit(); }).find("missing"), std::string::npos);
    EXPECT_FALSE(fs::exists(target));
}

TEST(SideFile, LeftoversOfKilledRunsAreRemovedButNotAFileBeingWritten) {
    WorkFolder dir;
    const fs::path target = dir.path() / "user.reg";
    std::ofstream(target) << "old";
    std::ofstream(dir.path() / ".user.reg.trelmig-Ab3xY9") << "killed run";
    std::ofstream(dir.path() / ".user.reg.trelmig-x-Ab3xY9") << "not ours to judge";
    std::ofstream(dir.path() / ".system.reg.trelmig-Ab3xY9") << "another file's";
    SideFile live(target.string());
    live.create();
    live.write("new", 3);

    EXPECT_EQ(SideFile::removeLeftovers(target.string()), 1u);
    EXPECT_FALSE(fs::exists(dir.path() / ".user.reg.trelmig-Ab3xY9"));
    EXPECT_TRUE(fs::exists(live.path()));
    EXPECT_EQ(entriesIn(dir.path()), 4u);
    live.commit();
    EXPECT_EQ(contentOf(target), "new");
}
