#include "archive/ZipFlushBehind.h"
#include "archive/ZipExtractedFile.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <random>
#include <thread>
#include <vector>

#include <unistd.h>

using namespace trelmig;
using namespace ziptest;

// Pieces written by several threads in no order, over many windows of the
// flush behind them: every byte is in the file, none is lost when the pages
// behind the writers are flushed and dropped while later ones are still dirty.
TEST(ZipFlushBehind, PiecesWrittenOutOfOrderAllArrive) {
    ScratchFolder dir;
    constexpr std::size_t kPiece = 1 << 20;
    const std::string data = mixedContent(96 * kPiece + 4097, 41);
    const std::size_t pieces = (data.size() + kPiece - 1) / kPiece;
    std::vector<std::size_t> order(pieces);
    for (std::size_t i = 0; i < pieces; ++i)
        order[i] = i;
    // Mostly forward, as decoders go, with pieces held back far behind the rest.
    std::mt19937 random(7);
    for (std::size_t i = 0; i + 1 < pieces; ++i)
        std::swap(order[i], order[std::min(pieces - 1, i + random() % 12)]);
    std::swap(order[3], order[pieces - 2]);

    ZipExtractedFile file(dir.file("out.pst"));
    file.create();
    file.beginPlacedWrites();
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&] {
            for (std::size_t i; (i = next++) < pieces;) {
                const std::size_t at = order[i] * kPiece;
                file.writeAt(data.data() + at, std::min(kPiece, data.size() - at), at);
            }
        });
    for (auto& writer : writers)
        writer.join();
    file.finish(true);
    file.keep();
    EXPECT_TRUE(readFile(dir.file("out.pst")) == data);
}

// A failure the disk reports to the flush behind the writers reaches them: a
// later flush through another descriptor of the file would not report it.
// A pipe stands for the failing disk: it cannot be flushed at all.
TEST(ZipFlushBehind, AFailureOfTheDiskReachesTheWriters) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    {
        ZipFlushBehind flush(pipeEnds[1]);
        EXPECT_EQ(flush.error(), 0);
        flush.written(0, 4 << 20);
        flush.drain();
        EXPECT_EQ(flush.error(), ESPIPE);
    }
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}
