#include "platform/StateFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace trelmig {

std::optional<fs::path> ProgramStateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return fs::path(state) / "trelmig";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".local" / "state" / "trelmig";
    return std::nullopt;
}

std::optional<fs::path> ProgramCacheFolder() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        return fs::path(cache) / "trelmig";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".cache" / "trelmig";
    return std::nullopt;
}

std::optional<fs::path> UndoRecordsFolder() {
    const auto state = ProgramStateFolder();
    return state ? std::optional(*state / "undo") : std::nullopt;
}

namespace {

// A clone of the file's blocks (btrfs, XFS): instant, and the two never share
// later writes.
bool cloneFile(const fs::path& file, const fs::path& copy) {
    const int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        ::close(in);
        return false;
    }
    const bool cloned = ::ioctl(out, FICLONE, in) == 0;
    ::close(in);
    ::close(out);
    if (!cloned)
        ::unlink(copy.c_str());
    return cloned;
}

} // namespace

void KeepCopyOf(const fs::path& file, const fs::path& copy) {
    std::error_code ec;
    fs::create_hard_link(file, copy, ec);
    if (!ec || cloneFile(file, copy))
        return;
    fs::copy_file(file, copy, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(copy, ignored);
        throw std::runtime_error("cannot keep a copy of " + file.string() + " in " +
                                 copy.parent_path().string() + ": " + ec.message());
    }
}

} // namespace trelmig
