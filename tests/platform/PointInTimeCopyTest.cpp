// Point-in-time copies of files a program may be writing: what a copy holds,
// and the reasons it cannot be made.
#include "platform/PointInTimeCopy.h"
#include "platform/WorkFolder.h"

#include "DataFileWriter.h"
#include "RunShell.h"
#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace trelmig;

TEST(PointInTimeCopy, HoldsTheDataAndKeepsTheHolesOfASparseFile) {
    WorkFolder work;
    const fs::path source = work.path() / "Outlook.pst";
    writeDataFile(source, 1 << 20);
    fs::resize_file(source, std::uintmax_t(1) << 28); // a large hole after the data
    {
        std::ofstream tail(source, std::ios::in | std::ios::out | std::ios::binary);
        tail.seekp((std::streamoff(1) << 28) - 5);
        tail << "!END!";
    }
    const fs::path copy = work.path() / "copy.pst";
    MakePointInTimeCopy(source, copy);
    EXPECT_EQ(fs::file_size(copy), std::uintmax_t(1) << 28);
    struct stat st {};
    ASSERT_EQ(::stat(copy.c_str(), &st), 0);
    EXPECT_LT(st.st_blocks * 512, 16 << 20); // not a quarter gigabyte of zeros
    EXPECT_EQ(RunShell("cmp '" + source.string() + "' '" + copy.string() + "'").status, 0);
}

TEST(PointInTimeCopy, ACopyThatFindsNoRoomSaysSoAndLeavesNothing) {
    WorkFolder work;
    const fs::path small = work.path() / "small";
    fs::create_directories(small);
    if (RunShell("mount -t tmpfs -o size=1m tmpfs '" + small.string() + "'").status != 0)
        GTEST_SKIP() << "no file system can be mounted here";
    const fs::path source = work.path() / "Outlook.pst";
    writeDataFile(source, 4 << 20);
    try {
        MakePointInTimeCopy(source, small / "Outlook.pst");
        ADD_FAILURE() << "copied into a file system too small for it";
    } catch (const FileChangedError&) {
        ADD_FAILURE() << "room taken for change";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("not enough free space in " + small.string()),
                  std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(fs::exists(small / "Outlook.pst"));
    RunShell("umount '" + small.string() + "'");
}

TEST(PointInTimeCopies, OneCopyPerFileUnderItsOwnNameGoneWithTheRun) {
    WorkFolder work;
    const fs::path a = work.path() / "a" / "Mail.pst";
    const fs::path b = work.path() / "b" / "Mail.pst";
    fs::create_directories(a.parent_path());
    fs::create_directories(b.parent_path());
    std::ofstream(a) << "first";
    std::ofstream(b) << "second";
    fs::create_symlink(a, work.path() / "link.pst");
    const fs::path folder = work.path() / "copies";
    {
        PointInTimeCopies copies(folder);
        const fs::path ca = copies.copyOf(a);
        EXPECT_EQ(ca.filename(), "Mail.pst");
        EXPECT_EQ(copies.copyOf(work.path() / "link.pst"), ca); // the same file
        const fs::path cb = copies.copyOf(b);
        EXPECT_NE(cb, ca);
        EXPECT_EQ(cb.filename(), "Mail.pst");
        EXPECT_EQ(readWholeFile(cb), "second");
        EXPECT_EQ(copies.copyOf(b, "x|Mail.pst").filename(), "Mail.pst"); // made already
        std::ofstream(a) << "changed afterwards";
        EXPECT_EQ(readWholeFile(ca), "first");
    }
    EXPECT_FALSE(fs::exists(folder));
}
