#pragma once

#include "archive/ZipChunkIndex.h"
#include "archive/ZipEntryReader.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace trelmig {

class ZipAesKeyRing;

// Decodes one deflated entry that carries a chunk index (ZipChunkIndex) on
// several cores: each chunk is read with pread, decrypted where it lies (AES
// counter mode is seekable), inflated (libdeflate) straight to its own length
// and handed to the sink with its place in the entry, while one more thread
// computes the authentication code over the encrypted bytes in order. The
// CRC-32 of the chunks is combined at the end. The checks are those of
// ZipEntryDecoder: only a true result says the whole entry was right.
//
// A chunk must end exactly where the index says: a non-last chunk on a block
// boundary without the final block, the last one with it. An index that does
// not fit the data fails the entry as damaged.
class ZipChunkedDecoder {
public:
    // Called from the decoding threads, at once; false stops the decoding.
    using PlacedSink =
        std::function<bool(const unsigned char* data, std::size_t length, std::uint64_t offset)>;

    // fd: the archive, open for reading; directFd: the same file opened for
    // direct reads (ZipDirectIo), or -1. threads: decoding threads besides the
    // authentication's.
    // keys: the AES entries' keys where derived already (or null).
    ZipChunkedDecoder(int fd, int directFd, std::string_view password, unsigned threads,
                      const ZipAesKeyRing* keys = nullptr)
        : fd_(fd), directFd_(directFd), password_(password), threads_(threads), keys_(keys) {}

    // Decodes the deflated entry whose stored bytes start at dataOffset.
    EntryReadResult decode(const ZipStoredEntry& entry, const ZipChunkIndex& index,
                           std::uint64_t dataOffset, const PlacedSink& sink);

private:
    // false with error_ (and wrongPassword_) set on failure.
    bool decodeEntry(const ZipStoredEntry& entry, const ZipChunkIndex& index,
                     std::uint64_t dataOffset, const PlacedSink& sink);
    struct Job;
    bool fail(const ZipStoredEntry& entry, const std::string& why);
    void decodeChunks(Job& job);
    void authenticate(Job& job);

    int fd_;
    int directFd_;
    std::string_view password_;
    unsigned threads_;
    const ZipAesKeyRing* keys_;
    std::string error_;
    bool wrongPassword_ = false;
};

} // namespace trelmig
