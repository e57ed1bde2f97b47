#include "platform/WorkFolder.h"

#include "ScopedEnv.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

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

namespace {

// A folder as a run killed before it could clean up leaves it: its owner
// process is gone, and it was last changed an hour ago.
fs::path leftByAKilledRun() {
    int pipeFds[2];
    EXPECT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        WorkFolder folder;
        std::ofstream(folder.path() / "export.txt") << "plaintext registry export";
        const std::string path = folder.path().string();
        (void)!::write(pipeFds[1], path.data(), path.size());
        ::_exit(0); // no destructor runs
    }
    ::close(pipeFds[1]);
    char buffer[4096];
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    const fs::path folder(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0));
    fs::last_write_time(folder, fs::file_time_type::clock::now() - std::chrono::hours(1));
    return folder;
}

} // namespace

TEST(WorkFolder, FoldersOfKilledRunsAreRemovedAndNothingElse) {
    WorkFolder tmp;
    const ScopedEnv env("TMPDIR", tmp.path().string());
    const fs::path stale = leftByAKilledRun();
    ASSERT_TRUE(fs::exists(stale / "export.txt"));

    // A run alive now, older than this process.
    WorkFolder alive;
    fs::last_write_time(alive.path(), fs::file_time_type::clock::now() - std::chrono::hours(1));
    // A run killed after this process started: its folder is left alone.
    const fs::path recent = leftByAKilledRun();
    fs::last_write_time(recent, fs::file_time_type::clock::now() + std::chrono::hours(1));
    // Folders that are not clearly ours: an older version's, another name,
    // a link.
    const fs::path olderVersion = tmp.path() / "trelmig-abcdef";
    const fs::path otherName = tmp.path() / "trelmig-run-other-name";
    for (const fs::path& p : {olderVersion, otherName}) {
        fs::create_directories(p);
        std::ofstream(p / "keep") << "x";
        fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    const fs::path linked = tmp.path() / "trelmig-run-linked";
    fs::create_directory_symlink(stale, linked);

    trelmig::RemoveStaleWorkFolders();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(alive.path()));
    EXPECT_TRUE(fs::exists(recent / "export.txt"));
    EXPECT_TRUE(fs::exists(olderVersion / "keep"));
    EXPECT_TRUE(fs::exists(otherName / "keep"));
    EXPECT_TRUE(fs::is_symlink(linked));
    fs::remove(linked);
}
