#include "restore/RetiredFiles.h"

#include "platform/WorkFolder.h"

#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using trelmig::RetiredFiles;
using trelmig::WorkFolder;

namespace {

void writeFile(const fs::path& file, const std::string& text, std::uintmax_t size) {
    std::ofstream(file, std::ios::binary) << text;
    fs::resize_file(file, size);
}

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line.substr(0, line.find('\0'));
}

} // namespace

// A large old file keeps a second name while the new one is renamed over it;
// the second name goes once the thread is done, and the new file stays.
TEST(RetiredFiles, KeepsOnlyLargePlainFilesAndRemovesThemAfterTheRename) {
    WorkFolder dir;
    const fs::path large = dir.path() / "Outlook.pst";
    const fs::path small = dir.path() / "Small.pst";
    const fs::path link = dir.path() / "Link.pst";
    writeFile(large, "old", 64u << 20);
    writeFile(small, "old", 4096);
    fs::create_symlink(large, link);

    RetiredFiles retired;
    EXPECT_TRUE(retired.keep(large, dir.path() / ".Outlook.pst.trelmig-x-aaaaaa"));
    EXPECT_FALSE(retired.keep(small, dir.path() / ".Small.pst.trelmig-x-aaaaaa"));
    EXPECT_FALSE(retired.keep(link, dir.path() / ".Link.pst.trelmig-x-aaaaaa"));
    EXPECT_FALSE(retired.keep(dir.path() / "Missing.pst", dir.path() / ".M.trelmig-x-aaaaaa"));
    EXPECT_EQ(firstLine(dir.path() / ".Outlook.pst.trelmig-x-aaaaaa"), "old");

    writeFile(dir.path() / "new", "new", 64u << 20);
    fs::rename(dir.path() / "new", large);
    retired.removeKept();
    retired.wait();
    EXPECT_FALSE(fs::exists(dir.path() / ".Outlook.pst.trelmig-x-aaaaaa"));
    EXPECT_EQ(firstLine(large), "new");
    EXPECT_EQ(firstLine(small), "old");
}

// A rename that never happens (a failed restore) leaves the old file whole:
// only its second name is removed.
TEST(RetiredFiles, WithoutTheRenameTheOldFileStays) {
    WorkFolder dir;
    const fs::path large = dir.path() / "Outlook.pst";
    writeFile(large, "old", 32u << 20);
    {
        RetiredFiles retired;
        ASSERT_TRUE(retired.keep(large, dir.path() / ".Outlook.pst.trelmig-x-bbbbbb"));
    }
    EXPECT_FALSE(fs::exists(dir.path() / ".Outlook.pst.trelmig-x-bbbbbb"));
    EXPECT_EQ(firstLine(large), "old");
    EXPECT_EQ(fs::file_size(large), 32u << 20);
}
