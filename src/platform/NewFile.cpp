#include "platform/NewFile.h"

#include "platform/SideFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace trelmig {

namespace {

constexpr int kMaxCopies = 10000;
constexpr std::size_t kBufferBytes = 1 << 16;

[[noreturn]] void Fail(const std::filesystem::path& path, const char* what, int err) {
    throw std::runtime_error(path.string() + ": " + what + ": " + std::strerror(err));
}

int CreateFree(const std::filesystem::path& folder, const std::string& stem,
               const std::string& extension, std::filesystem::path& path) {
    for (int copy = 1; copy <= kMaxCopies; ++copy) {
        const std::string name =
            copy == 1 ? stem + extension : stem + " (" + std::to_string(copy) + ")" + extension;
        path = folder / name;
        // 0666: the umask applies, as for any file the user makes.
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            Fail(path, "cannot be created", errno);
    }
    Fail(folder / (stem + extension), "cannot be created", EEXIST);
}

} // namespace

NewFile::Buffer::Buffer(int fd) : fd_(fd), space_(kBufferBytes) {
    setp(space_.data(), space_.data() + space_.size());
}

NewFile::Buffer::int_type NewFile::Buffer::overflow(int_type c) {
    if (sync() != 0)
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int NewFile::Buffer::sync() {
    const auto length = static_cast<std::size_t>(pptr() - pbase());
    if (failed_ || !writeFully(fd_, pbase(), length)) {
        failed_ = true;
        return -1;
    }
    setp(space_.data(), space_.data() + space_.size());
    return 0;
}

NewFile::NewFile(const std::filesystem::path& folder, const std::string& stem,
                 const std::string& extension)
    : fd_(CreateFree(folder, stem, extension, path_)), buffer_(fd_), stream_(&buffer_) {}

NewFile::~NewFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_)
        ::unlink(path_.c_str());
}

void NewFile::commit() {
    stream_.flush();
    if (buffer_.failed() || !stream_)
        Fail(path_, "cannot be written", errno ? errno : EIO);
    if (::fsync(fd_) != 0)
        Fail(path_, "cannot be written", errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        Fail(path_, "cannot be written", errno);
    committed_ = true;
}

} // namespace trelmig
