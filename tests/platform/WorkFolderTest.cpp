#include "platform/WorkFolder.h"

#include "ScopedEnv.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using trelmig::WorkFolder;

TEST(WorkFolder, IsPrivateAndRemovedWithItsContent) {
    fs::path where;
    {
        WorkFolder folder;
        where = folder.path();
        ASSERT_TRUE(fs::is_directory(where));
        EXPECT_EQ(where.filename().string().rfind("trelmig-", 0), 0u);
        struct stat st {};
        ASSERT_EQ(stat(where.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);

        fs::create_directories(where / "sub" / "deeper");
        std::ofstream(where / "sub" / "deeper" / "vastrel.dat") << "data";
        std::ofstream(where / "top.tmp") << "x";
    }
    EXPECT_FALSE(fs::exists(where));
}

TEST(WorkFolder, TwoRunsGetDifferentFolders) {
    WorkFolder a;
    WorkFolder b;
    EXPECT_NE(a.path(), b.path());
}

TEST(WorkFolder, MovingHandsOverTheFolder) {
    WorkFolder first;
    const fs::path where = first.path();
    WorkFolder second(std::move(first));
    EXPECT_TRUE(first.path().empty());
    EXPECT_EQ(second.path(), where);

    WorkFolder third;
    const fs::path replaced = third.path();
    third = std::move(second);
    EXPECT_FALSE(fs::exists(replaced));
    EXPECT_EQ(third.path(), where);
    EXPECT_TRUE(fs::is_directory(where));
}

TEST(WorkFolder, UsesTmpdir) {
    WorkFolder outer;
    ScopedEnv env("TMPDIR", outer.path().string());
    WorkFolder inner;
    EXPECT_EQ(inner.path().parent_path(), outer.path());
}

TEST(WorkFolder, UnusableTmpdirIsReported) {
    ScopedEnv env("TMPDIR", "/nonexistent/trelmig-test");
    EXPECT_THROW(WorkFolder(), std::runtime_error);
}
