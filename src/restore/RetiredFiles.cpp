#include "restore/RetiredFiles.h"

#include <cstdint>
#include <sys/stat.h>
#include <unistd.h>

namespace trelmig {

namespace {

// Below this, freeing a file is quicker than a second name and a thread.
constexpr std::uintmax_t kLargeFile = 16u << 20;

} // namespace

RetiredFiles::~RetiredFiles() {
    removeKept();
    wait();
}

bool RetiredFiles::keep(const std::filesystem::path& target, const std::filesystem::path& retired) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uintmax_t>(st.st_size) < kLargeFile)
        return false;
    if (::link(target.c_str(), retired.c_str()) != 0)
        return false;
    kept_.push_back(retired);
    return true;
}

void RetiredFiles::removeKept() {
    if (kept_.empty())
        return;
    if (!remover_)
        remover_.emplace(1);
    remover_->Submit([files = std::move(kept_)] {
        for (const auto& file : files)
            ::unlink(file.c_str());
    });
    kept_.clear();
}

void RetiredFiles::wait() {
    if (remover_)
        remover_->Wait(); // unlink throws nothing
}

} // namespace trelmig
