#include "archive/ZipDeflatePipeline.h"
#include "archive/ZipChunkDeflater.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace trelmig;
using namespace ziptest;

namespace {

// Inflates a raw deflate stream; fails the test unless it ends exactly at
// the end of the stream.
std::string inflateRaw(const std::string& packed) {
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    std::string out;
    char buffer[65536];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
    }
    EXPECT_EQ(rc, Z_STREAM_END);
    EXPECT_EQ(z.avail_in, 0u) << "bytes after the end of the stream";
    inflateEnd(&z);
    return out;
}

std::string readAll(ZipDeflatePipeline& pipeline, std::size_t index) {
    std::string packed;
    char buffer[7000]; // odd size: reads straddle chunk ends
    std::int64_t n;
    while ((n = pipeline.read(index, buffer, sizeof buffer)) > 0)
        packed.append(buffer, static_cast<std::size_t>(n));
    EXPECT_EQ(n, 0) << pipeline.error();
    return packed;
}

std::uint32_t crcOf(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

} // namespace

TEST(ZipDeflatePipeline, ChunkedStreamsInflateToTheFilesWithTheirCrc) {
    ScratchFolder dir;
    const std::size_t chunk = 64 * 1024;
    // Sizes around chunk boundaries, an empty file, and a file mixing random
    // and repetitive stretches (which is stored and deflated in turns).
    const std::vector<std::size_t> sizes = {0,         1,         chunk - 1,           chunk,
                                            chunk + 1, 3 * chunk, 5 * 1024 * 1024 + 17};
    std::vector<std::string> contents, paths;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        contents.push_back(mixedContent(sizes[i], static_cast<unsigned>(10 + i)));
        paths.push_back(dir.file("f" + std::to_string(i)));
        writeFile(paths.back(), contents.back());
    }
    ZipDeflatePipeline::Settings settings;
    settings.threads = 3;
    settings.chunkSize = chunk;
    settings.chunksAhead = 4;
    ZipDeflatePipeline pipeline(paths, settings);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string packed = readAll(pipeline, i);
        EXPECT_TRUE(inflateRaw(packed) == contents[i]) << "file " << i;
        EXPECT_EQ(pipeline.fileSize(i), contents[i].size());
        EXPECT_EQ(pipeline.fileCrc(i), crcOf(contents[i])) << "file " << i;
        total += contents[i].size();
        EXPECT_EQ(pipeline.bytesDone(), total);
    }
}

TEST(ZipDeflatePipeline, ChunksStandAloneAndStayCloseToOneStream) {
    // Every chunk starts a fresh deflate state, so a reader can inflate each
    // on its own from the index; at the real chunk size, and with igzip's
    // quicker search, that costs a few percent against one zlib stream (level
    // 6) over the whole file.
    const std::string text = mixedContent(4 * 1024 * 1024 + 1000, 20);
    ScratchFolder dir;
    writeFile(dir.file("t"), text);
    ZipDeflatePipeline pipeline({dir.file("t")}, {});
    std::string packed = readAll(pipeline, 0);
    EXPECT_TRUE(inflateRaw(packed) == text);

    const ZipChunkIndex& index = pipeline.chunkIndex(0);
    ASSERT_EQ(index.chunkSize, 1u << 20);
    ASSERT_EQ(index.deflatedSizes.size(), 5u);
    std::size_t at = 0;
    for (std::size_t i = 0; i < index.deflatedSizes.size(); ++i) {
        // A chunk that does not end the stream ends on a block boundary: an
        // empty final block after it makes a whole stream.
        const bool last = i + 1 == index.deflatedSizes.size();
        const std::string alone = inflateRaw(packed.substr(at, index.deflatedSizes[i]) +
                                             (last ? "" : std::string("\x03\x00", 2)));
        EXPECT_TRUE(alone == text.substr(i * index.chunkSize, index.chunkLength(i, text.size())))
            << "chunk " << i;
        at += index.deflatedSizes[i];
    }
    EXPECT_EQ(at, packed.size());

    uLongf whole = compressBound(text.size());
    std::string reference(whole, '\0');
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(reference.data()), &whole,
                        reinterpret_cast<const Bytef*>(text.data()), text.size(), 6),
              Z_OK);
    EXPECT_LT(packed.size(), whole + whole * 5 / 100);
}

TEST(ZipDeflatePipeline, MissingFileFailsWhenItsTurnComes) {
    ScratchFolder dir;
    writeFile(dir.file("a"), "first");
    ZipDeflatePipeline pipeline({dir.file("a"), dir.file("gone")}, {});
    EXPECT_EQ(inflateRaw(readAll(pipeline, 0)), "first");
    char buffer[100];
    EXPECT_EQ(pipeline.read(1, buffer, sizeof buffer), -1);
    EXPECT_NE(pipeline.error().find(dir.file("gone")), std::string::npos) << pipeline.error();
}

TEST(ZipDeflatePipeline, FileShrinkingWhileReadIsAnError) {
    ScratchFolder dir;
    const std::string path = dir.file("shrinks");
    writeFile(path, mixedContent(3 * 1024 * 1024, 21));
    ZipDeflatePipeline::Settings settings;
    settings.chunkSize = 64 * 1024;
    settings.chunksAhead = 2;
    ZipDeflatePipeline pipeline({path}, settings);
    char buffer[1000];
    ASSERT_GT(pipeline.read(0, buffer, sizeof buffer), 0);
    ASSERT_EQ(truncate(path.c_str(), 100000), 0);
    std::int64_t n;
    while ((n = pipeline.read(0, buffer, sizeof buffer)) > 0) {
    }
    EXPECT_EQ(n, -1);
    EXPECT_NE(pipeline.error().find("shorter"), std::string::npos) << pipeline.error();
}

TEST(ZipChunkDeflater, RandomDataIsStoredRatherThanSearched) {
    ZipChunkDeflater deflater(1);
    std::string random;
    std::mt19937 gen(5);
    for (int i = 0; i < 1 << 20; ++i)
        random.push_back(static_cast<char>(gen()));
    auto bytes = std::span(reinterpret_cast<const unsigned char*>(random.data()), random.size());
    EXPECT_TRUE(deflater.looksIncompressible(bytes));
    ZipBuffer out;
    deflater.deflateChunk(bytes, true, out);
    // Stored blocks: 5 bytes of header per 64 KiB at most.
    EXPECT_LE(out.size, random.size() + 5 * (random.size() / 65535 + 1));
    EXPECT_TRUE(inflateRaw(std::string(out.data.get(), out.data.get() + out.size)) == random);

    std::string records(1 << 20, '\0');
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i] = "record 42;"[i % 10];
    EXPECT_FALSE(deflater.looksIncompressible(
        std::span(reinterpret_cast<const unsigned char*>(records.data()), records.size())));
}
