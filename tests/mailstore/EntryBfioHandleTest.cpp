#include "mailstore/EntryBfioHandle.h"
#include "archive/ZipArchive.h"
#include "mailstore/BackupDataFile.h"

#include "../archive/ZipTestSupport.h"
#include "SampleDataFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <libpff.h>

using namespace trelmig;
using namespace ziptest;

namespace {

const AnsiCodec kAnsi(1252);

// What libpff sees of a data file: folders and messages of the whole tree.
struct TreeCounts {
    int folders = 0;
    int messages = 0;
    bool operator==(const TreeCounts&) const = default;
};

void countTree(libpff_item_t* folder, TreeCounts& counts, int depth) {
    ++counts.folders;
    int messages = 0, subFolders = 0;
    ASSERT_EQ(libpff_folder_get_number_of_sub_messages(folder, &messages, nullptr), 1);
    counts.messages += messages;
    ASSERT_EQ(libpff_folder_get_number_of_sub_folders(folder, &subFolders, nullptr), 1);
    ASSERT_LT(depth, 32);
    for (int i = 0; i < subFolders; ++i) {
        libpff_item_t* sub = nullptr;
        ASSERT_EQ(libpff_folder_get_sub_folder(folder, i, &sub, nullptr), 1);
        countTree(sub, counts, depth + 1);
        libpff_item_free(&sub, nullptr);
    }
}

// Opens the file through handle (libpff takes it over) or, without one, by path.
TreeCounts readTree(libbfio_handle_t* handle, const std::string& path = {}) {
    TreeCounts counts;
    libpff_file_t* file = nullptr;
    EXPECT_EQ(libpff_file_initialize(&file, nullptr), 1);
    const int opened =
        handle ? libpff_file_open_file_io_handle(file, handle, LIBPFF_OPEN_READ, nullptr)
               : libpff_file_open(file, path.c_str(), LIBPFF_OPEN_READ, nullptr);
    EXPECT_EQ(opened, 1);
    libpff_item_t* root = nullptr;
    if (opened == 1 && libpff_file_get_root_folder(file, &root, nullptr) == 1) {
        countTree(root, counts, 0);
        libpff_item_free(&root, nullptr);
    }
    libpff_file_close(file, nullptr);
    libpff_file_free(&file, nullptr);
    if (handle)
        libbfio_handle_free(&handle, nullptr);
    return counts;
}

} // namespace

// libpff reads a real data file inside a backup through our handle as it
// reads the file itself.
TEST(EntryBfioHandle, LibpffReadsTheDataFileInsideABackup) {
    const std::string pst = EnronPst();
    if (pst.empty())
        GTEST_SKIP() << "no enron.pst (scripts/bootstrap pst fetches it)";
    const TreeCounts direct = readTree(nullptr, pst);
    ASSERT_GT(direct.folders, 3);
    ASSERT_GT(direct.messages, 0);

    ScratchFolder dir;
    std::filesystem::copy_file(pst, dir.file("Outlook.pst"));
    ZipFileList list;
    ASSERT_TRUE(Succeeded(list.AddFile(dir.file("Outlook.pst"))));
    ZipArchive zip(kAnsi);
    ASSERT_TRUE(Succeeded(zip.WriteZip(dir.file("backup.kvx"), list, "secret")));
    ASSERT_TRUE(Succeeded(zip.OpenZip(dir.file("backup.kvx"))));

    const auto files = BackupDataFiles(zip, "Outlook.pst; Gone.pst");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].entryName, "Outlook.pst");
    EXPECT_EQ(files[0].size, std::filesystem::file_size(pst));
    EXPECT_TRUE(files[0].randomAccess);

    zip.SetDecryptPassword("secret");
    auto reader = zip.OpenRandomAccess("Outlook.pst");
    ASSERT_TRUE(Succeeded(reader));
    std::shared_ptr<ZipEntryRandomReader> shared = std::move(*reader);
    const auto source = EntryBfioSource::Over(shared);
    EXPECT_EQ(readTree(NewEntryBfioHandle(source)), direct);
    EXPECT_EQ(source->lastError(), "");
    // The store's 1 MiB chunks all fit the cache: none is decoded twice.
    EXPECT_GT(shared->counters().chunksDecoded, 0u);
    EXPECT_LE(shared->counters().chunksDecoded, shared->chunkCount());
}

// A read that fails reaches libpff as a failure, and its reason is kept.
TEST(EntryBfioHandle, AFailedReadIsAFailureWithItsReason) {
    const auto source = std::make_shared<EntryBfioSource>(
        1 << 20, [](std::uint64_t, std::span<unsigned char>) -> Result<std::size_t> {
            return Fail("The archive is damaged (chunk 1 of 1 does not inflate to its length).");
        });
    libpff_file_t* file = nullptr;
    ASSERT_EQ(libpff_file_initialize(&file, nullptr), 1);
    libbfio_handle_t* handle = NewEntryBfioHandle(source);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(libpff_file_open_file_io_handle(file, handle, LIBPFF_OPEN_READ, nullptr), -1);
    libpff_file_free(&file, nullptr);
    libbfio_handle_free(&handle, nullptr);
    EXPECT_NE(source->lastError().find("damaged"), std::string::npos);
}
