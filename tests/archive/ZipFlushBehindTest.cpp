#include "archive/ZipExtractedFile.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

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
