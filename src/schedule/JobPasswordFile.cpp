#include "schedule/JobPasswordFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace trelmig {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSuffix = ".password";

std::string systemError(const std::string& what, const fs::path& path) {
    return what + " " + path.string() + ": " + std::generic_category().message(errno);
}

// "job-XXXXXX.password" or "once-XXXXXX.password".
bool hasOurName(const fs::path& file, const std::string& kind) {
    const std::string name = file.filename().string();
    return name.size() == kind.size() + 6 + std::strlen(kSuffix) && name.rfind(kind, 0) == 0 &&
           name.ends_with(kSuffix);
}

} // namespace

fs::path JobPasswordFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/')
        return fs::path(config) / "trelmig" / "jobs";
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        throw std::runtime_error("HOME is not set: there is no folder for the job's password");
    return fs::path(home) / ".config" / "trelmig" / "jobs";
}

fs::path StoreJobPassword(const std::string& password, bool once) {
    const fs::path folder = JobPasswordFolder();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        throw std::runtime_error("Cannot create " + folder.string() + ": " + ec.message());
    ::chmod(folder.c_str(), 0700);
    std::string pattern =
        (folder / (std::string(once ? "once-" : "job-") + "XXXXXX" + kSuffix)).string();
    // mkstemps creates the file with mode 0600.
    const int fd = ::mkstemps(pattern.data(), static_cast<int>(std::strlen(kSuffix)));
    if (fd < 0)
        throw std::runtime_error(systemError("Cannot create a password file in", folder));
    std::size_t written = 0;
    while (written < password.size()) {
        const ssize_t n = ::write(fd, password.data() + written, password.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    const bool ok = written == password.size() && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!ok) {
        ::unlink(pattern.c_str());
        errno = error;
        throw std::runtime_error(systemError("Cannot write the password file", pattern));
    }
    return pattern;
}

bool IsJobPasswordFile(const fs::path& file) {
    if (!hasOurName(file, "job-") && !hasOurName(file, "once-"))
        return false;
    try {
        std::error_code ec;
        return fs::equivalent(file.parent_path(), JobPasswordFolder(), ec);
    } catch (const std::runtime_error&) {
        return false;
    }
}

bool IsOnceJobPasswordFile(const fs::path& file) {
    return IsJobPasswordFile(file) && hasOurName(file, "once-");
}

void RemoveJobPasswordFile(const fs::path& file) {
    if (IsJobPasswordFile(file))
        ::unlink(file.c_str());
}

std::string ReadPasswordFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error(systemError("Cannot read the password file", file));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw std::runtime_error("The password file " + file.string() + " is not a file");
    }
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 && text.size() < 65536)
        text.append(buffer, static_cast<std::size_t>(n));
    const int error = errno;
    ::close(fd);
    if (n < 0) {
        errno = error;
        throw std::runtime_error(systemError("Cannot read the password file", file));
    }
    text = text.substr(0, text.find('\n'));
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    return text;
}

} // namespace trelmig
