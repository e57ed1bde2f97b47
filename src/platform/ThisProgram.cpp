#include "platform/ThisProgram.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace trelmig {

namespace {

constexpr const char* kRunningProgram = "/proc/self/exe";

} // namespace

std::filesystem::path CommandLineProgram() {
    return CommandLineProgramFor(std::filesystem::read_symlink(kRunningProgram));
}

std::filesystem::path CommandLineProgramFor(const std::filesystem::path& running) {
    if (running.filename() != kWindowProgramName)
        return running;
    const std::filesystem::path beside = running.parent_path() / kCommandLineProgramName;
    std::error_code ec;
    return std::filesystem::is_regular_file(beside, ec) ? beside : running;
}

int RunWindowProgramInstead(char** argv) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink(kRunningProgram, ec);
    if (ec)
        return ec.value();
    const std::string window = (self.parent_path() / kWindowProgramName).string();
    ::execv(window.c_str(), argv);
    return errno;
}

} // namespace trelmig
