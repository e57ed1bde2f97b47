#include "archive/ZipOutputFile.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>

using namespace trelmig;
using namespace ziptest;

TEST(ZipOutputFile, SeeksBackOverwriteWhatWasWrittenBefore) {
    // libzip writes an entry's data, goes back to complete its local header
    // and returns to the end; the file must show the last write of every byte,
    // whether it went to a block already handed to the writing thread or to
    // the one still being filled.
    ScratchFolder dir;
    const std::string path = dir.file("out.zip");
    writeFile(path, "");
    std::string expected = mixedContent(3 * 1024 * 1024 + 100, 30);
    {
        ZipOutputFile output(path);
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* src = output.source(&error);
        ASSERT_TRUE(src);
        ASSERT_EQ(zip_source_begin_write(src), 0);
        for (std::size_t at = 0; at < expected.size(); at += 8192) {
            std::size_t n = std::min<std::size_t>(8192, expected.size() - at);
            ASSERT_EQ(zip_source_write(src, expected.data() + at, n), static_cast<zip_int64_t>(n));
        }
        auto overwrite = [&](std::uint64_t at, const std::string& text) {
            ASSERT_EQ(zip_source_seek_write(src, static_cast<zip_int64_t>(at), SEEK_SET), 0);
            ASSERT_EQ(zip_source_tell_write(src), static_cast<zip_int64_t>(at));
            ASSERT_EQ(zip_source_write(src, text.data(), text.size()),
                      static_cast<zip_int64_t>(text.size()));
            expected.replace(at, text.size(), text);
        };
        overwrite(10, "HEADER");                   // in the first, long written block
        overwrite(3 * 1024 * 1024 + 50, "MIDDLE"); // in the block still being filled
        overwrite(1024 * 1024 - 2, "ACROSS");      // straddling two blocks
        ASSERT_EQ(zip_source_seek_write(src, 0, SEEK_END), 0);
        ASSERT_EQ(zip_source_write(src, "TAIL", 4), 4);
        expected += "TAIL";
        ASSERT_EQ(zip_source_commit_write(src), 0);
        EXPECT_EQ(output.error(), "");
        zip_source_free(src);
        zip_error_fini(&error);
    }
    EXPECT_TRUE(readFile(path) == expected);
}

TEST(ZipOutputFile, MissingFileIsReported) {
    ScratchFolder dir;
    ZipOutputFile output(dir.file("missing/out.zip"));
    zip_error_t error;
    zip_error_init(&error);
    EXPECT_EQ(output.source(&error), nullptr);
    EXPECT_EQ(zip_error_code_zip(&error), ZIP_ER_OPEN);
    zip_error_fini(&error);
}
