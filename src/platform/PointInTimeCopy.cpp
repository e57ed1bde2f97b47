#include "platform/PointInTimeCopy.h"

#include "platform/DirectIo.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace trelmig {

namespace {

[[noreturn]] void fail(const std::string& what, int err) {
    throw std::runtime_error(what + ": " + std::generic_category().message(err));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// What tells whether a file was written: a write moves its times, a
// replacement its inode.
bool sameState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           sameTime(a.st_mtim, b.st_mtim) && sameTime(a.st_ctim, b.st_ctim);
}

bool laterThan(const timespec& a, const timespec& b) {
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
}

// The state of the source, taken once its last write lies in an earlier tick
// of the file system's clock than now: a write in the tick its times already
// carry would not move them, and the check after the copy would miss it.
struct stat settledState(int fd, const std::string& name) {
    struct stat st {};
    for (int wait = 0;; ++wait) {
        if (::fstat(fd, &st) != 0)
            fail("cannot read the state of " + name, errno);
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
        if (laterThan(now, st.st_mtim) && laterThan(now, st.st_ctim))
            return st;
        if (wait == 50)
            return st; // a clock behind the file's times: the copy decides
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// The copy is written once and read once by the archive: its pages go past
// the cache where they can (DirectIo), through outDirect.
void copyRange(int in, int out, int& outDirect, off_t from, off_t to, const std::string& source,
               const std::string& copy, const std::function<bool()>& stopped) {
    std::vector<char> buffer(1 << 20);
    AlignedBuffer aligned;
    while (from < to) {
        if (stopped && stopped())
            throw std::runtime_error("the copy of " + source + " was stopped");
        const auto want = static_cast<size_t>(std::min<off_t>(to - from, buffer.size()));
        const ssize_t got = ::pread(in, buffer.data(), want, from);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail("cannot read " + source, errno);
        if (got == 0)
            return; // shorter now: the check after the copy sees it
        if (const int err = writeMostlyDirect(
                outDirect, out, aligned, reinterpret_cast<unsigned char*>(buffer.data()),
                static_cast<std::size_t>(got), static_cast<std::uint64_t>(from));
            err != 0)
            fail("cannot write the copy " + copy + " of " + source, err);
        from += got;
    }
}

// Copies the data of `in`, `size` bytes long, to the empty `out`; holes stay
// holes, so a sparse file takes no more room than it has.
void copyAll(int in, int out, int& outDirect, off_t size, const std::string& source,
             const std::string& copy, const std::function<bool()>& stopped) {
    off_t at = 0;
    while (at < size) {
        off_t data = ::lseek(in, at, SEEK_DATA);
        if (data < 0 && errno == ENXIO)
            break;      // only a hole is left
        if (data < 0) { // no hole finding here: everything is data
            copyRange(in, out, outDirect, at, size, source, copy, stopped);
            break;
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0 || hole > size)
            hole = size;
        copyRange(in, out, outDirect, data, hole, source, copy, stopped);
        at = hole;
    }
    if (::ftruncate(out, size) != 0)
        fail("cannot write the copy " + copy + " of " + source, errno);
}

void checkRoom(int out, std::uintmax_t needed, const std::filesystem::path& copy,
               const std::string& source) {
    struct statvfs vfs {};
    if (::fstatvfs(out, &vfs) != 0)
        return; // the write says it if there is no room
    const std::uintmax_t free = static_cast<std::uintmax_t>(vfs.f_bavail) * vfs.f_frsize;
    if (free < needed)
        throw std::runtime_error("not enough free space in " + copy.parent_path().string() +
                                 " for a copy of " + source + " (" + std::to_string(needed) +
                                 " bytes needed, " + std::to_string(free) + " free)");
}

} // namespace

CopyMethod MakePointInTimeCopy(const std::filesystem::path& source,
                               const std::filesystem::path& copy, int tries,
                               const std::function<bool()>& stopped) {
    const std::string name = source.string();
    const Descriptor in(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        fail("cannot open " + name, errno);
    const Descriptor out(
        ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (out.get() < 0)
        fail("cannot create the copy " + copy.string() + " of " + name, errno);
    struct Removal {
        const std::filesystem::path& path;
        bool keep = false;
        ~Removal() {
            if (!keep)
                ::unlink(path.c_str());
        }
    } removal{copy};

    // A clone is made under the source's lock: it is one state of the file.
    if (::ioctl(out.get(), FICLONE, in.get()) == 0) {
        removal.keep = true;
        return CopyMethod::Clone;
    }
    const Descriptor direct(openDirect(copy.string(), O_WRONLY | O_NOFOLLOW));
    int outDirect = direct.get(); // -1 once a direct write is refused
    for (int attempt = 0; attempt < tries; ++attempt) {
        const struct stat before = settledState(in.get(), name);
        const auto allocated = static_cast<std::uintmax_t>(before.st_blocks) * 512;
        checkRoom(out.get(), std::min(static_cast<std::uintmax_t>(before.st_size), allocated), copy,
                  name);
        if (::ftruncate(out.get(), 0) != 0)
            fail("cannot write the copy " + copy.string() + " of " + name, errno);
        copyAll(in.get(), out.get(), outDirect, before.st_size, name, copy.string(), stopped);
        struct stat after {
        }, named{}, written{};
        if (::fstat(in.get(), &after) != 0 || ::stat(name.c_str(), &named) != 0 ||
            ::fstat(out.get(), &written) != 0)
            fail("cannot read the state of " + name, errno);
        if (sameState(before, after) && sameState(before, named) &&
            written.st_size == before.st_size) {
            removal.keep = true;
            return CopyMethod::CheckedCopy;
        }
    }
    throw FileChangedError(name + " changed while it was being copied");
}

FileMoment FileMomentOf(const std::filesystem::path& file) {
    const Descriptor in(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        fail("cannot open " + file.string(), errno);
    const struct stat st = settledState(in.get(), file.string());
    const auto ns = [](const timespec& t) { return t.tv_sec * 1'000'000'000LL + t.tv_nsec; };
    return {st.st_dev, st.st_ino, st.st_size, ns(st.st_mtim), ns(st.st_ctim)};
}

PointInTimeCopies::PointInTimeCopies(std::filesystem::path folder) : folder_(std::move(folder)) {}

PointInTimeCopies::~PointInTimeCopies() {
    if (made_ == 0)
        return;
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

std::filesystem::path PointInTimeCopies::copyOf(const std::filesystem::path& source,
                                                const std::string& name) {
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0)
        fail("cannot read " + source.string(), errno);
    const auto id = std::make_pair(static_cast<unsigned long>(st.st_dev),
                                   static_cast<unsigned long>(st.st_ino));
    if (const auto found = copies_.find(id); found != copies_.end())
        return found->second;
    // One folder per copy: two sources of the same name do not meet.
    const std::filesystem::path folder = folder_ / std::to_string(++made_);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        throw std::runtime_error("cannot create the folder " + folder.string() + ": " +
                                 ec.message());
    std::filesystem::path copy =
        folder / (name.empty() ? source.filename() : std::filesystem::path(name));
    methods_[source.string()] = MakePointInTimeCopy(source, copy, 3, stopped_);
    copies_.emplace(id, copy);
    return copy;
}

} // namespace trelmig
