#include "archive/ZipChunkDeflater.h"

#include <algorithm>
#include <cstdint>

#include <isa-l/igzip_lib.h>
#include <new>
#include <stdexcept>

namespace trelmig {

namespace {

constexpr int kRawWindowBits = -15;
constexpr std::size_t kSampleSize = 4096;
constexpr int kSamples = 4;

void init(z_stream& z, int level) {
    if (deflateInit2(&z, level, Z_DEFLATED, kRawWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
}

} // namespace

struct ZipChunkDeflater::Igzip {
    explicit Igzip(int level)
        : level(std::clamp(level, 1, ISAL_DEF_MAX_LEVEL)),
          buffer(std::make_unique_for_overwrite<unsigned char[]>(kBufferSize)) {}
    // Enough for every level's hash tables.
    static constexpr std::size_t kBufferSize = ISAL_DEF_LVL3_DEFAULT;
    int level;
    std::unique_ptr<unsigned char[]> buffer;
    isal_zstream stream;
};

ZipChunkDeflater::ZipChunkDeflater(int level)
    : packed_(std::make_unique<Igzip>(level)), storeOnly_(level == 0) {
    init(stored_, 0);
    try {
        init(probe_, 1);
    } catch (...) {
        deflateEnd(&stored_);
        throw;
    }
}

ZipChunkDeflater::~ZipChunkDeflater() {
    deflateEnd(&stored_);
    deflateEnd(&probe_);
}

bool ZipChunkDeflater::looksIncompressible(std::span<const unsigned char> data) {
    if (data.size() < kSamples * kSampleSize)
        return false;
    z_stream& z = probe_;
    unsigned char out[kSampleSize + 64];
    bool incompressible = true;
    const std::size_t step = (data.size() - kSampleSize) / (kSamples - 1);
    for (int i = 0; i < kSamples && incompressible; ++i) {
        deflateReset(&z);
        z.next_in = const_cast<unsigned char*>(data.data() + i * step);
        z.avail_in = kSampleSize;
        z.next_out = out;
        z.avail_out = sizeof out;
        deflate(&z, Z_FINISH);
        // Less than 3 % saved: not worth the search.
        incompressible = z.total_out * 100 >= kSampleSize * 97;
    }
    return incompressible;
}

void ZipChunkDeflater::deflateChunk(std::span<const unsigned char> data, bool last,
                                    ZipBuffer& out) {
    if (!storeOnly_ && !looksIncompressible(data))
        return packChunk(data, last, out);
    if (deflateReset(&stored_) != Z_OK)
        throw std::runtime_error("deflateReset failed");
    run(stored_, data, last ? Z_FINISH : Z_SYNC_FLUSH, out);
}

// A fresh igzip stream per chunk; the output grows until the whole chunk and
// its flush (or the stream's end) are out.
void ZipChunkDeflater::packChunk(std::span<const unsigned char> data, bool last, ZipBuffer& out) {
    isal_zstream& s = packed_->stream;
    isal_deflate_init(&s);
    s.level = static_cast<std::uint32_t>(packed_->level);
    s.level_buf = packed_->buffer.get();
    s.level_buf_size = Igzip::kBufferSize;
    s.gzip_flag = IGZIP_DEFLATE;
    s.flush = SYNC_FLUSH;
    s.end_of_stream = last ? 1 : 0;
    s.next_in = const_cast<unsigned char*>(data.data());
    s.avail_in = static_cast<std::uint32_t>(data.size());
    out.size = 0;
    out.reserve(data.size() + data.size() / 16 + 1024);
    for (;;) {
        s.next_out = out.data.get() + out.size;
        s.avail_out = static_cast<std::uint32_t>(out.capacity - out.size);
        if (isal_deflate(&s) != COMP_OK)
            throw std::runtime_error("igzip failed");
        out.size = out.capacity - s.avail_out;
        const bool flushed = last ? s.internal_state.state == ZSTATE_END
                                  : s.avail_in == 0 && s.internal_state.state == ZSTATE_NEW_HDR;
        if (flushed)
            return;
        ZipBuffer bigger;
        bigger.reserve(out.capacity + out.capacity / 2 + 1024);
        std::copy_n(out.data.get(), out.size, bigger.data.get());
        bigger.size = out.size;
        out = std::move(bigger);
    }
}

void ZipChunkDeflater::run(z_stream& z, std::span<const unsigned char> data, int flush,
                           ZipBuffer& out) {
    z.next_in = const_cast<unsigned char*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    out.size = 0;
    out.reserve(deflateBound(&z, data.size()) + 16);
    for (;;) {
        z.next_out = out.data.get() + out.size;
        z.avail_out = static_cast<uInt>(out.capacity - out.size);
        int rc = deflate(&z, flush);
        out.size = out.capacity - z.avail_out;
        if (rc == Z_STREAM_END)
            break;
        if (rc != Z_OK && rc != Z_BUF_ERROR)
            throw std::runtime_error("deflate failed");
        // Done when all input is taken and the flush left room to spare.
        if (flush == Z_SYNC_FLUSH && z.avail_in == 0 && z.avail_out > 0)
            break;
        if (z.avail_out == 0) {
            ZipBuffer bigger;
            bigger.reserve(out.capacity + out.capacity / 2 + 1024);
            std::copy_n(out.data.get(), out.size, bigger.data.get());
            bigger.size = out.size;
            out = std::move(bigger);
        }
    }
}

} // namespace trelmig
