#include "archive/ZipEntryRandomReader.h"

#include "archive/ZipAesDecryptor.h"
#include "archive/ZipAesKeys.h"
#include "archive/ZipCentralDirectory.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <unistd.h>

#include <libdeflate.h>
#include <openssl/crypto.h>

namespace trelmig {

namespace {

// Put after a chunk that does not end the stream, as the chunked decoder
// does: the whole-buffer inflater then takes the chunk, and consuming it to
// its last byte proves the chunk ended on a block boundary.
constexpr unsigned char kEmptyFinalBlock[2] = {0x03, 0x00};

} // namespace

bool ZipEntryRandomReader::handles(const ZipStoredEntry& entry,
                                   const std::optional<ZipChunkIndex>& index) {
    if (entry.encryption != ZIP_EM_NONE && ZipAesKeySizeOf(entry.encryption) == 0)
        return false;
    return entry.method == ZIP_CM_STORE || (entry.method == ZIP_CM_DEFLATE && index.has_value());
}

ZipEntryRandomReader::ZipEntryRandomReader(int fd, const ZipStoredEntry& entry,
                                           std::optional<ZipChunkIndex> index)
    : fd_(fd), entry_(entry), index_(std::move(index)) {
    inflater_ = libdeflate_alloc_decompressor();
    if (!inflater_) {
        ::close(fd_);
        throw std::bad_alloc();
    }
    if (!index_)
        return;
    chunkOffsets_.reserve(index_->deflatedSizes.size() + 1);
    std::uint64_t at = 0;
    chunkOffsets_.push_back(at);
    for (std::uint32_t size : index_->deflatedSizes)
        chunkOffsets_.push_back(at += size);
    cacheChunks_ = std::clamp<std::size_t>(kCacheBytes / index_->chunkSize, 1, kMaxCachedChunks);
}

ZipEntryRandomReader::~ZipEntryRandomReader() {
    libdeflate_free_decompressor(inflater_);
    ::close(fd_);
}

Result<std::unique_ptr<ZipEntryRandomReader>, EntryReadFailure>
ZipEntryRandomReader::open(int fd, const ZipStoredEntry& entry, std::optional<ZipChunkIndex> index,
                           std::uint64_t dataOffset, std::string_view password) {
    const bool handled = handles(entry, index);
    std::unique_ptr<ZipEntryRandomReader> reader(
        new ZipEntryRandomReader(fd, entry, handled ? std::move(index) : std::nullopt));
    if (!handled)
        return std::unexpected(EntryReadFailure{
            "The entry cannot be read in parts; it has to be extracted first.", false});
    reader->dataStart_ = dataOffset;
    std::uint64_t stored = entry.compressedSize;
    if (const std::size_t keySize = ZipAesKeySizeOf(entry.encryption); keySize != 0) {
        const std::size_t headerSize = ZipAesDecryptor::headerSize(keySize);
        if (stored < headerSize + ZipAesDecryptor::kTrailerSize)
            return std::unexpected(EntryReadFailure{"The archive is damaged (the entry is too "
                                                    "short for its encryption).",
                                                    false});
        stored -= headerSize + ZipAesDecryptor::kTrailerSize;
        std::vector<unsigned char> header(headerSize);
        if (!readFullyAt(fd, header.data(), header.size(), dataOffset))
            return std::unexpected(
                EntryReadFailure{"The archive is damaged (the entry cannot be read).", false});
        try {
            const ZipAesKeys keys(password, std::span(header).first(keySize / 2), keySize);
            if (CRYPTO_memcmp(keys.check().data(), header.data() + keySize / 2,
                              ZipAesDecryptor::kCheckSize) != 0)
                return std::unexpected(EntryReadFailure{"The password is wrong.", true});
            reader->aes_ = std::make_unique<ZipAesCtr>(keys.aesKey());
        } catch (const std::exception& e) { // OpenSSL failing
            return std::unexpected(EntryReadFailure{e.what(), false});
        }
        reader->dataStart_ += headerSize;
    }
    // The chunk index was checked against the stored length when it was read.
    if (entry.method == ZIP_CM_STORE && stored != entry.size)
        return std::unexpected(EntryReadFailure{
            "The archive is damaged (the entry's stored and stated sizes differ).", false});
    return reader;
}

ZipEntryRandomReader::Counters ZipEntryRandomReader::counters() const {
    const std::lock_guard lock(mutex_);
    return counters_;
}

std::unexpected<Error> ZipEntryRandomReader::damaged(const std::string& why) const {
    return Fail(aes_ ? "The password is wrong or the archive is damaged (" + why + ")."
                     : "The archive is damaged (" + why + ").");
}

Result<std::size_t> ZipEntryRandomReader::read(std::uint64_t offset, std::span<unsigned char> out) {
    const std::lock_guard lock(mutex_);
    if (offset >= entry_.size || out.empty())
        return 0;
    out = out.first(
        static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), entry_.size - offset)));
    try {
        if (!index_)
            return readStored(offset, out);
        std::size_t done = 0;
        while (done < out.size()) {
            const std::uint64_t at = offset + done;
            const auto i = static_cast<std::size_t>(at / index_->chunkSize);
            const Result<const Chunk*> decoded = chunk(i);
            if (!decoded)
                return std::unexpected(decoded.error());
            const auto within = static_cast<std::size_t>(at - std::uint64_t(i) * index_->chunkSize);
            const std::size_t take = std::min(out.size() - done, (*decoded)->size() - within);
            std::memcpy(out.data() + done, (*decoded)->data() + within, take);
            done += take;
        }
        return done;
    } catch (const std::exception& e) { // OpenSSL failing, or no memory
        return Fail(e.what());
    }
}

Result<std::size_t> ZipEntryRandomReader::readStored(std::uint64_t offset,
                                                     std::span<unsigned char> out) {
    if (!readFullyAt(fd_, out.data(), out.size(), dataStart_ + offset))
        return damaged("the entry cannot be read");
    counters_.bytesRead += out.size();
    if (aes_) {
        aes_->seek(offset);
        aes_->apply(out);
    }
    return out.size();
}

Result<const ZipEntryRandomReader::Chunk*> ZipEntryRandomReader::chunk(std::size_t i) {
    const auto found = std::find_if(cache_.begin(), cache_.end(),
                                    [i](const auto& cached) { return cached.first == i; });
    if (found != cache_.end()) {
        cache_.splice(cache_.begin(), cache_, found);
        return &cache_.front().second;
    }
    // The least recently used chunk's memory is taken for the new one.
    Chunk buffer;
    if (cache_.size() >= cacheChunks_) {
        buffer = std::move(cache_.back().second);
        cache_.pop_back();
    }
    if (Result<void> decoded = decode(i, buffer); !decoded)
        return std::unexpected(decoded.error());
    cache_.emplace_front(i, std::move(buffer));
    return &cache_.front().second;
}

Result<void> ZipEntryRandomReader::decode(std::size_t i, Chunk& into) {
    const std::size_t storedLength = index_->deflatedSizes[i];
    stored_.resize(storedLength + sizeof kEmptyFinalBlock);
    if (!readFullyAt(fd_, stored_.data(), storedLength, dataStart_ + chunkOffsets_[i]))
        return damaged("the entry cannot be read");
    counters_.bytesRead += storedLength;
    if (aes_) {
        aes_->seek(chunkOffsets_[i]);
        aes_->apply({stored_.data(), storedLength});
    }
    std::size_t inLength = storedLength;
    if (i + 1 < index_->deflatedSizes.size()) {
        std::copy_n(kEmptyFinalBlock, sizeof kEmptyFinalBlock, stored_.data() + storedLength);
        inLength += sizeof kEmptyFinalBlock;
    }
    const std::size_t length = index_->chunkLength(i, entry_.size);
    into.resize(length);
    std::size_t taken = 0, made = 0;
    if (libdeflate_deflate_decompress_ex(inflater_, stored_.data(), inLength, into.data(), length,
                                         &taken, &made) != LIBDEFLATE_SUCCESS ||
        taken != inLength || made != length) {
        into.clear();
        return damaged("chunk " + std::to_string(i + 1) + " of " +
                       std::to_string(index_->deflatedSizes.size()) +
                       " does not inflate to its length");
    }
    ++counters_.chunksDecoded;
    return {};
}

} // namespace trelmig
