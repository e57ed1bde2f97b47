#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include <zlib.h>

namespace trelmig {

// A byte buffer that keeps its allocation between uses and, unlike
// std::vector, does not clear memory it is about to overwrite.
struct ZipBuffer {
    std::unique_ptr<unsigned char[]> data;
    std::size_t capacity = 0;
    std::size_t size = 0;

    // Makes room for n bytes; the content is lost when it grows.
    void reserve(std::size_t n) {
        if (n > capacity) {
            data = std::make_unique_for_overwrite<unsigned char[]>(n);
            capacity = n;
        }
    }
    std::span<const unsigned char> bytes() const { return {data.get(), size}; }
};

// Raw deflate (no zlib header) of one chunk of a longer stream: the chunk is
// compressed with a fresh state, so that no match reaches back into the chunk
// before and a reader can inflate it on its own, and ends byte-aligned (sync
// flush) unless it is the last one, which ends the stream. Chunks compressed
// this way by different threads concatenate into one valid deflate stream.
//
// Compressible data goes through ISA-L's igzip, which deflates several times
// faster than zlib at an output a few percent larger on mail stores;
// incompressible data is stored by zlib at copying speed.
class ZipChunkDeflater {
public:
    // level: igzip's level (1 to 3) for compressible data; 0 stores every
    // chunk, compressible or not. Throws
    // std::bad_alloc when zlib cannot allocate its state.
    explicit ZipChunkDeflater(int level);
    ~ZipChunkDeflater();
    ZipChunkDeflater(const ZipChunkDeflater&) = delete;
    ZipChunkDeflater& operator=(const ZipChunkDeflater&) = delete;

    // Replaces out with the deflate blocks of data.
    void deflateChunk(std::span<const unsigned char> data, bool last, ZipBuffer& out);

    // True when samples spread over data do not shrink under fast deflate:
    // already compressed or encrypted content, for which the match search of
    // the real level finds nothing and zlib itself would emit stored blocks.
    bool looksIncompressible(std::span<const unsigned char> data);

private:
    struct Igzip;
    void packChunk(std::span<const unsigned char> data, bool last, ZipBuffer& out);
    void run(z_stream& z, std::span<const unsigned char> data, int flush, ZipBuffer& out);

    std::unique_ptr<Igzip> packed_; // the chosen level
    bool storeOnly_;
    z_stream stored_{}; // level 0: stored blocks at copying speed
    z_stream probe_{};  // level 1, for the samples
};

} // namespace trelmig
