#include "core/TempFiles.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace trelmig {

Result<std::string> NewScratchFile(const std::string& folder, const std::string& namePrefix) {
    // Like the platform's rule: start from a time-based number and take the
    // first name nobody has, creating the file exclusively.
    static std::atomic<unsigned> next{static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid())};
    const std::string prefix = namePrefix.substr(0, 3);
    std::string base = folder;
    if (!base.empty() && base.back() != '/')
        base.push_back('/');
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        unsigned number = next++ & 0xFFFF;
        if (number == 0)
            continue;
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", number);
        std::string path = base + prefix + hex + ".tmp";
        const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (const int why = errno; why != EEXIST)
            return Fail("no scratch file can be created in " + folder + ": " +
                        std::generic_category().message(why));
    }
    return Fail("every scratch name in " + folder + " is taken");
}

} // namespace trelmig
