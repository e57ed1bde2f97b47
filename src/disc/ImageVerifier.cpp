#include <cstdint>
#include <libisofs/libisofs.h>

#include "disc/ImageVerifier.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace trelmig {

namespace {

constexpr std::uint32_t kCacheBlocks = 32;
constexpr size_t kCompareChunk = 1 << 20;

// Fills the buffer from the file descriptor; the count read, -1 on error.
ssize_t ReadFull(int fd, char* buffer, size_t size) {
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer + got, size - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

ssize_t ReadFull(IsoStream* stream, char* buffer, size_t size) {
    size_t got = 0;
    while (got < size) {
        const int n = iso_stream_read(stream, buffer + got, size - got);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

} // namespace

std::string IsoPathOf(const std::string& imagePath) {
    std::string path = imagePath;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path.empty() ? "/" : path;
}

// libisofs reads the image through this, a few blocks at a time.
struct ImageVerifier::Source {
    IsoDataSource iso{};
    BlockReader* reader = nullptr;
    std::vector<char> cache = std::vector<char>(std::size_t{kCacheBlocks} * kBytesPerBlock);
    std::uint32_t first = 0;
    std::uint32_t count = 0;

    static int Open(IsoDataSource*) { return 1; }
    static int Close(IsoDataSource*) { return 1; }
    static void Free(IsoDataSource*) {}
    static int ReadBlock(IsoDataSource* iso, std::uint32_t lba, std::uint8_t* buffer) {
        auto* self = static_cast<Source*>(iso->data);
        if (self->count == 0 || lba < self->first || lba >= self->first + self->count) {
            self->first = lba;
            self->count = static_cast<std::uint32_t>(
                self->reader->ReadBlocks(lba, kCacheBlocks, self->cache.data()));
            if (self->count == 0)
                return static_cast<int>(ISO_DATA_SOURCE_MISHAP);
        }
        std::memcpy(buffer, self->cache.data() + std::size_t{lba - self->first} * kBytesPerBlock,
                    kBytesPerBlock);
        return 1;
    }
};

ImageVerifier::ImageVerifier(BlockReader& reader, std::uint32_t startBlock)
    : source_(std::make_unique<Source>()), startBlock_(startBlock) {
    source_->reader = &reader;
    source_->iso.version = 0;
    source_->iso.refcount = 1;
    source_->iso.open = &Source::Open;
    source_->iso.close = &Source::Close;
    source_->iso.read_block = &Source::ReadBlock;
    source_->iso.free_data = &Source::Free;
    source_->iso.data = source_.get();
}

ImageVerifier::~ImageVerifier() {
    if (image_)
        iso_image_unref(image_);
}

Result<void> ImageVerifier::Open() {
    int result = iso_image_new("verify", &image_);
    if (result < 0)
        return Fail(iso_error_to_msg(result));
    IsoReadOpts* opts = nullptr;
    result = iso_read_opts_new(&opts, 0);
    if (result < 0)
        return Fail(iso_error_to_msg(result));
    iso_read_opts_set_start_block(opts, startBlock_);
    iso_read_opts_set_input_charset(opts, const_cast<char*>("UTF-8"));
    result = iso_image_import(image_, &source_->iso, opts, nullptr);
    iso_read_opts_free(opts);
    if (result < 0)
        return Fail(iso_error_to_msg(result));
    return {};
}

int ImageVerifier::Compare(const DiscItem& file, const std::atomic<bool>& cancel) {
    IsoNode* node = nullptr;
    if (!image_ || iso_tree_path_to_node(image_, IsoPathOf(file.imagePath).c_str(), &node) != 1 ||
        !node || iso_node_get_type(node) != LIBISO_FILE)
        return kVerifyDestinationUnreadable;
    const int fd = ::open(file.sourcePath.c_str(), O_RDONLY);
    if (fd < 0)
        return kVerifySourceUnreadable;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kVerifySourceUnreadable;
    }
    IsoStream* stream = iso_file_get_stream(reinterpret_cast<IsoFile*>(node));
    if (static_cast<off_t>(iso_stream_get_size(stream)) != st.st_size) {
        ::close(fd);
        return kVerifySizeMismatch;
    }
    if (iso_stream_open(stream) < 0) {
        ::close(fd);
        return kVerifyDestinationUnreadable;
    }
    std::vector<char> disc(kCompareChunk);
    std::vector<char> source(kCompareChunk);
    int code = kVerifyMatched;
    while (code == kVerifyMatched) {
        if (cancel) {
            code = kVerifySkipped;
            break;
        }
        const ssize_t fromSource = ReadFull(fd, source.data(), source.size());
        if (fromSource < 0) {
            code = kVerifySourceUnreadable;
            break;
        }
        const ssize_t fromDisc = ReadFull(stream, disc.data(), disc.size());
        if (fromDisc < 0) {
            code = kVerifyDestinationUnreadable;
            break;
        }
        if (fromSource != fromDisc)
            code = kVerifySizeMismatch; // the source changed length meanwhile
        else if (std::memcmp(source.data(), disc.data(), static_cast<size_t>(fromSource)) != 0)
            code = kVerifyContentMismatch;
        else if (fromSource == 0)
            break;
    }
    iso_stream_close(stream);
    ::close(fd);
    return code;
}

} // namespace trelmig
