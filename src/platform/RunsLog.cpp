#include "platform/RunsLog.h"

#include "platform/StateFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace trelmig {

std::optional<fs::path> RunsLogFile() {
    const auto state = ProgramStateFolder();
    return state ? std::optional(*state / "runs.log") : std::nullopt;
}

void AppendRunsLogLine(const fs::path& file, const std::string& line) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        throw std::runtime_error("cannot open " + file.string() + ": " +
                                 std::generic_category().message(errno));
    const std::string text = line + "\n";
    const ssize_t n = ::write(fd, text.data(), text.size());
    const int writeError = errno;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (n != static_cast<ssize_t>(text.size()) || !synced)
        throw std::runtime_error("cannot write to " + file.string() + ": " +
                                 std::generic_category().message(n < 0 ? writeError : EIO));
}

std::vector<std::string> RunsLogLines(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

} // namespace trelmig
