#include "disc/ImageFileDevice.h"

#include "disc/BurnLibrary.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace trelmig {

namespace {

std::string FolderOf(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

bool SyncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// mkstemp makes the file private; an image gets the usual permissions.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

DiscMedia ImageFileDevice::Media() const {
    DiscMedia media;
    if (target_.empty())
        return media;
    media.type = kMediaImageFile;
    media.writable = ::access(FolderOf(target_).c_str(), W_OK) == 0;
    return media;
}

long ImageFileDevice::FreeBlocks(bool) {
    struct statvfs fs {};
    if (target_.empty() || ::statvfs(FolderOf(target_).c_str(), &fs) != 0)
        return 0;
    const double bytes = static_cast<double>(fs.f_bavail) * static_cast<double>(fs.f_frsize);
    return static_cast<long>(bytes / kBytesPerBlock);
}

DiscError ImageFileDevice::OutputError(int code, const std::string& text) const {
    // libburn lists its reasons as "a, b, "
    std::string description = text;
    while (!description.empty() && (description.back() == ' ' || description.back() == ','))
        description.pop_back();
    DiscError error;
    error.category = kErrorOutputFile;
    error.file = {code, description, target_};
    error.description = description;
    return error;
}

bool ImageFileDevice::BeginWrite(::burn_source* image, const WriteOptions& options,
                                 DiscError& error) {
    if (drive_ || target_.empty()) {
        DiscardImageStream(image);
        error = OutputError(0, drive_ ? "A write is already running." : "No image file named.");
        return false;
    }
    const std::string name = std::filesystem::path(target_).filename().string();
    std::string pattern = FolderOf(target_) + "/." + name + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) {
        const int code = errno;
        DiscardImageStream(image);
        error = OutputError(code, std::strerror(code));
        return false;
    }
    ::fchmod(fd, NewFileMode());
    ::close(fd);
    partial_ = buffer.data();
    std::string refusal;
    drive_ = BurnDrive::Grab("stdio:" + partial_, false, refusal);
    if (!drive_) {
        DiscardImageStream(image);
        ::unlink(partial_.c_str());
        partial_.clear();
        error = OutputError(0, refusal);
        return false;
    }
    testWrite_ = options.testWrite;
    if (!drive_->StartWrite(image, options, refusal)) {
        drive_.reset();
        ::unlink(partial_.c_str());
        partial_.clear();
        error = OutputError(0, refusal);
        return false;
    }
    return true;
}

DeviceProgress ImageFileDevice::WriteProgress() {
    return drive_ ? drive_->Progress() : DeviceProgress{};
}

void ImageFileDevice::CancelWrite() {
    if (drive_)
        drive_->Cancel();
}

std::unique_ptr<BlockReader> ImageFileDevice::OpenWritten(DiscError& error) {
    if (!drive_) {
        error = OutputError(0, "Nothing was written.");
        return nullptr;
    }
    return std::make_unique<BurnDriveReader>(*drive_);
}

bool ImageFileDevice::EndWrite(bool keep, DiscError& error) {
    if (drive_) {
        drive_->Release(false);
        drive_.reset();
    }
    if (partial_.empty())
        return true;
    const std::string partial = partial_;
    partial_.clear();
    if (!keep || testWrite_) {
        ::unlink(partial.c_str());
        return true;
    }
    if (!SyncPath(partial, O_RDONLY) || std::rename(partial.c_str(), target_.c_str()) != 0) {
        const int code = errno;
        ::unlink(partial.c_str());
        error = OutputError(code, std::strerror(code));
        return false;
    }
    SyncPath(FolderOf(target_), O_RDONLY | O_DIRECTORY);
    return true;
}

} // namespace trelmig
