#include "archive/ZipChunkedDecoder.h"

#include "archive/ZipAesCtr.h"
#include "archive/ZipAesDecryptor.h"
#include "archive/ZipAesKeyRing.h"
#include "archive/ZipAesKeys.h"
#include "archive/ZipCentralDirectory.h"
#include "core/WorkerPool.h"
#include "platform/DirectIo.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <libdeflate.h>
#include <openssl/crypto.h>
#include <zlib.h>

namespace trelmig {

namespace {

constexpr std::size_t kMacReadSize = 1 << 20;
// An empty final block (fixed Huffman codes, end of block at once): put after
// a chunk that does not end the stream, it lets a whole-buffer inflater take
// the chunk, and consuming it to its last byte proves the chunk ended on a
// block boundary.
constexpr unsigned char kEmptyFinalBlock[2] = {0x03, 0x00};

struct FreeDecompressor {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

} // namespace

struct ZipChunkedDecoder::Job {
    const ZipStoredEntry& entry;
    const ZipChunkIndex& index;
    const PlacedSink& sink;
    std::uint64_t dataStart = 0;             // the first deflated byte
    std::vector<std::uint64_t> chunkOffsets; // deflated, from dataStart; one more at the end
    const ZipAesKeys* keys = nullptr;        // null without encryption
    std::unique_ptr<ZipAesKeys> ownKeys;     // where the key ring had none
    std::vector<std::uint32_t> crcs;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::string damage; // why the data is damaged, the first reason found
    bool sinkFailed = false;
    bool authentic = false;

    Job(const ZipStoredEntry& entry, const ZipChunkIndex& index, const PlacedSink& sink)
        : entry(entry), index(index), sink(sink), crcs(index.deflatedSizes.size()) {
        chunkOffsets.reserve(index.deflatedSizes.size() + 1);
        std::uint64_t at = 0;
        chunkOffsets.push_back(at);
        for (std::uint32_t size : index.deflatedSizes)
            chunkOffsets.push_back(at += size);
    }
    void damaged(const std::string& why) {
        stop = true;
        const std::lock_guard lock(mutex);
        if (damage.empty())
            damage = why;
    }
};

bool ZipChunkedDecoder::fail(const ZipStoredEntry& entry, const std::string& why) {
    error_ = entry.encryption != ZIP_EM_NONE
                 ? "The password is wrong or the archive is damaged (" + why + ")."
                 : "The archive is damaged (" + why + ").";
    return false;
}

void ZipChunkedDecoder::decodeChunks(Job& job) {
    std::unique_ptr<libdeflate_decompressor, FreeDecompressor> inflater(
        libdeflate_alloc_decompressor());
    if (!inflater)
        throw std::bad_alloc();
    std::optional<ZipAesCtr> aes;
    if (job.keys)
        aes.emplace(job.keys->aesKey());
    static_assert(sizeof kEmptyFinalBlock <= kReadSlack);
    AlignedBuffer buffer;
    // The inflated chunk, handed to the sink.
    AlignedBuffer outBuffer;
    outBuffer.reserve(job.index.chunkSize);
    unsigned char* const out = outBuffer.data();
    const std::size_t chunks = job.index.deflatedSizes.size();
    for (std::size_t i; !job.stop && (i = job.next++) < chunks;) {
        const std::size_t stored = job.index.deflatedSizes[i];
        unsigned char* in =
            readAt(directFd_, fd_, buffer, stored, job.dataStart + job.chunkOffsets[i]);
        if (!in)
            return job.damaged("the entry cannot be read");
        if (aes) {
            aes->seek(job.chunkOffsets[i]);
            aes->apply({in, stored});
        }
        std::size_t inLength = stored;
        if (i + 1 < chunks) {
            std::copy_n(kEmptyFinalBlock, sizeof kEmptyFinalBlock, in + stored);
            inLength += sizeof kEmptyFinalBlock;
        }
        const std::size_t length = job.index.chunkLength(i, job.entry.size);
        std::size_t taken = 0, made = 0;
        if (libdeflate_deflate_decompress_ex(inflater.get(), in, inLength, out, length, &taken,
                                             &made) != LIBDEFLATE_SUCCESS ||
            taken != inLength || made != length)
            return job.damaged("the compressed data is damaged");
        job.crcs[i] = libdeflate_crc32(0, out, length);
        if (!job.sink(out, length, std::uint64_t(i) * job.index.chunkSize)) {
            job.stop = true;
            const std::lock_guard lock(job.mutex);
            job.sinkFailed = true;
            return;
        }
    }
}

// The code covers the encrypted bytes in order: read a second time (from the
// page cache, or from the device when read directly) while the chunks are
// decoded.
void ZipChunkedDecoder::authenticate(Job& job) {
    ZipAesMac mac(job.keys->macKey());
    AlignedBuffer buffer;
    const std::uint64_t end = job.dataStart + job.chunkOffsets.back();
    for (std::uint64_t at = job.dataStart; at < end && !job.stop;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(end - at, kMacReadSize));
        const unsigned char* bytes = readAt(directFd_, fd_, buffer, n, at);
        if (!bytes)
            return job.damaged("the entry cannot be read");
        mac.update({bytes, n});
        at += n;
    }
    unsigned char trailer[ZipAesDecryptor::kTrailerSize];
    if (job.stop || !readFullyAt(fd_, trailer, sizeof trailer, end))
        return;
    const auto code = mac.finish();
    job.authentic = CRYPTO_memcmp(code.data(), trailer, sizeof trailer) == 0;
}

EntryReadResult ZipChunkedDecoder::decode(const ZipStoredEntry& entry, const ZipChunkIndex& index,
                                          std::uint64_t dataOffset, const PlacedSink& sink) {
    if (decodeEntry(entry, index, dataOffset, sink))
        return {};
    return std::unexpected(EntryReadFailure{error_, wrongPassword_});
}

bool ZipChunkedDecoder::decodeEntry(const ZipStoredEntry& entry, const ZipChunkIndex& index,
                                    std::uint64_t dataOffset, const PlacedSink& sink) {
    error_.clear();
    wrongPassword_ = false;
    Job job(entry, index, sink);
    job.dataStart = dataOffset;
    if (const std::size_t keySize = ZipAesKeySizeOf(entry.encryption); keySize != 0) {
        const std::size_t headerSize = ZipAesDecryptor::headerSize(keySize);
        std::vector<unsigned char> header(headerSize);
        if (!readFullyAt(fd_, header.data(), header.size(), dataOffset))
            return fail(entry, "the entry cannot be read");
        const auto salt = std::span(header).first(keySize / 2);
        job.keys = keys_ ? keys_->find(keySize, salt) : nullptr;
        if (!job.keys) {
            job.ownKeys = std::make_unique<ZipAesKeys>(password_, salt, keySize);
            job.keys = job.ownKeys.get();
        }
        if (CRYPTO_memcmp(job.keys->check().data(), header.data() + keySize / 2,
                          ZipAesDecryptor::kCheckSize) != 0) {
            wrongPassword_ = true;
            error_ = "The password is wrong.";
            return false;
        }
        job.dataStart += headerSize;
    } else if (entry.encryption != ZIP_EM_NONE) {
        error_ = "The entry's compression or encryption cannot be read.";
        return false;
    }
    {
        const unsigned decoders =
            std::clamp<unsigned>(threads_, 1, static_cast<unsigned>(index.deflatedSizes.size()));
        WorkerPool pool(decoders + (job.keys ? 1 : 0));
        // A task that throws stops the others before the exception goes on.
        const auto task = [&job](auto&& work) {
            return [&job, work] {
                try {
                    work();
                } catch (...) {
                    job.stop = true;
                    throw;
                }
            };
        };
        if (job.keys)
            pool.Submit(task([&] { authenticate(job); }));
        for (unsigned t = 0; t < decoders; ++t)
            pool.Submit(task([&] { decodeChunks(job); }));
        pool.Wait(); // the first exception of a task (OpenSSL failing, no memory) goes on up
    }
    if (job.sinkFailed)
        return false;
    if (!job.damage.empty())
        return fail(entry, job.damage);
    if (job.keys && !job.authentic)
        return fail(entry, "the authentication code does not match");
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < job.crcs.size(); ++i)
        crc = static_cast<std::uint32_t>(crc32_combine(
            crc, job.crcs[i], static_cast<z_off_t>(index.chunkLength(i, entry.size))));
    // WinZip AE-2 entries store no CRC; the authentication code stands for it.
    if (!(job.keys && entry.crc == 0) && crc != entry.crc)
        return fail(entry, "CRC error");
    return true;
}

} // namespace trelmig
