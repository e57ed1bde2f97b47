#include "platform/WorkFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <time.h>
#include <unistd.h>
#include <utility>

namespace trelmig {

namespace {

namespace fs = std::filesystem;

// Folders of older versions ("trelmig-XXXXXX") hold no lock and are left alone.
constexpr const char* kNamePrefix = "trelmig-run-";
constexpr std::size_t kNameLength = 18; // "trelmig-run-XXXXXX"

// The folder itself, opened to hold a lock on it.
int openFolder(const fs::path& folder) {
    return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

fs::path baseFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

// When this process started, in seconds since the epoch (to the clock tick);
// 0 when unknown.
double processStart() {
    std::ifstream stat("/proc/self/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    // Field 22 is starttime, in clock ticks after boot; fields 3.. follow ")".
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && (fields >> field); ++i) {
    }
    const long ticks = ::sysconf(_SC_CLK_TCK);
    timespec now{}, sinceBoot{};
    if (field.empty() || ticks <= 0 || ::clock_gettime(CLOCK_REALTIME, &now) != 0 ||
        ::clock_gettime(CLOCK_BOOTTIME, &sinceBoot) != 0)
        return 0;
    const double bootedAt =
        static_cast<double>(now.tv_sec) - static_cast<double>(sinceBoot.tv_sec) +
        (static_cast<double>(now.tv_nsec) - static_cast<double>(sinceBoot.tv_nsec)) / 1e9;
    return bootedAt + std::stod(field) / static_cast<double>(ticks);
}

// A folder left by a run that is gone: named as ours, a real folder of this
// user, older than this process, and nobody holds the lock its run held on it.
bool isStale(const fs::path& folder, double started) {
    const std::string name = folder.filename().string();
    if (name.size() != kNameLength || name.rfind(kNamePrefix, 0) != 0)
        return false;
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        static_cast<double>(st.st_mtim.tv_sec) + static_cast<double>(st.st_mtim.tv_nsec) / 1e9 >=
            started)
        return false;
    const int fd = openFolder(folder);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

} // namespace

void RemoveStaleWorkFolders() {
    const double started = processStart();
    if (started == 0)
        return;
    std::error_code ec;
    for (fs::directory_iterator it(baseFolder(), ec), end; !ec && it != end; it.increment(ec)) {
        if (isStale(it->path(), started)) {
            std::error_code ignored;
            fs::remove_all(it->path(), ignored);
        }
    }
}

WorkFolder::WorkFolder() {
    const fs::path base = baseFolder();
    std::string pattern = (base / (std::string(kNamePrefix) + "XXXXXX")).string();
    // mkdtemp creates the folder with mode 0700.
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("Cannot create a work folder in " + base.string() + ": " +
                                 std::generic_category().message(errno));
    path_ = pattern;
    lock_ = openFolder(path_);
    if (lock_ < 0 || ::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        remove();
        throw std::runtime_error("Cannot lock the work folder in " + base.string() + ": " +
                                 std::generic_category().message(error));
    }
}

WorkFolder::~WorkFolder() {
    remove();
}

WorkFolder::WorkFolder(WorkFolder&& other) noexcept
    : path_(std::exchange(other.path_, {})), lock_(std::exchange(other.lock_, -1)) {}

WorkFolder& WorkFolder::operator=(WorkFolder&& other) noexcept {
    if (this != &other) {
        remove();
        path_ = std::exchange(other.path_, {});
        lock_ = std::exchange(other.lock_, -1);
    }
    return *this;
}

void WorkFolder::remove() noexcept {
    if (!path_.empty()) {
        std::error_code ec;
        fs::remove_all(path_, ec);
        path_.clear();
    }
    if (lock_ >= 0) {
        ::close(lock_);
        lock_ = -1;
    }
}

} // namespace trelmig
