#include "archive/ZipWriteBehind.h"

#include "archive/ZipExtractedFile.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>

using namespace trelmig;
using namespace ziptest;

// Pieces of every size, crossing the buffers, arrive whole and in order.
TEST(ZipWriteBehind, WritesEveryPieceInOrder) {
    ScratchFolder dir;
    const std::string data = mixedContent(9 * 1024 * 1024 + 77, 40);
    ZipExtractedFile file(dir.file("out.pst"));
    file.create();
    {
        ZipWriteBehind writer(file);
        const std::size_t pieces[] = {1, 4095, 1 << 20, 3, 700000, (1 << 20) + 1, 17};
        for (std::size_t i = 0, at = 0; at < data.size(); ++i) {
            const std::size_t n = std::min(pieces[i % std::size(pieces)], data.size() - at);
            ASSERT_TRUE(writer.write(reinterpret_cast<const unsigned char*>(data.data()) + at, n));
            at += n;
        }
        const Result<void> finished = writer.finish();
        ASSERT_TRUE(finished) << finished.error().message;
    }
    file.finish(false);
    file.keep();
    EXPECT_TRUE(readFile(dir.file("out.pst")) == data);
}

// A failed write stops the producer and is reported, not lost.
TEST(ZipWriteBehind, AFailedWriteIsReported) {
    ScratchFolder dir;
    ZipExtractedFile file(dir.file("out.pst"));
    file.create();
    file.finish(false); // every write now fails
    ZipWriteBehind writer(file);
    const std::string block(1 << 20, 'x');
    Result<void> accepted;
    for (int i = 0; i < 64 && accepted; ++i)
        accepted = writer.write(reinterpret_cast<const unsigned char*>(block.data()), block.size());
    if (accepted)
        accepted = writer.finish();
    ASSERT_FALSE(accepted);
    EXPECT_NE(accepted.error().message.find("Cannot write"), std::string::npos)
        << accepted.error().message;
}
