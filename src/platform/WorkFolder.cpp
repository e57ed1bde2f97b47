#include "platform/WorkFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

namespace trelmig {

WorkFolder::WorkFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::filesystem::path base = tmp && *tmp ? tmp : "/tmp";
    std::string pattern = (base / "trelmig-XXXXXX").string();
    // mkdtemp creates the folder with mode 0700.
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("Cannot create a work folder in " + base.string() + ": " +
                                 std::strerror(errno));
    path_ = pattern;
}

WorkFolder::~WorkFolder() {
    remove();
}

WorkFolder::WorkFolder(WorkFolder&& other) noexcept : path_(std::exchange(other.path_, {})) {}

WorkFolder& WorkFolder::operator=(WorkFolder&& other) noexcept {
    if (this != &other) {
        remove();
        path_ = std::exchange(other.path_, {});
    }
    return *this;
}

void WorkFolder::remove() noexcept {
    if (path_.empty())
        return;
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    path_.clear();
}

} // namespace trelmig
