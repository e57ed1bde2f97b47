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

DiscResult<void> ImageFileDevice::BeginWrite(::burn_source* image, const WriteOptions& options) {
    if (drive_ || target_.empty()) {
        DiscardImageStream(image);
        return DiscFail(
            OutputError(0, drive_ ? "A write is already running." : "No image file named."));
    }
    try {
        partial_ = std::make_unique<SideFile>(target_);
        partial_->create();
        partial_->close();
    } catch (const std::exception& e) {
        const int code = errno;
        DiscardImageStream(image);
        partial_.reset();
        return DiscFail(OutputError(code, e.what()));
    }
    auto grabbed = BurnDrive::Grab("stdio:" + partial_->path(), false);
    if (!grabbed) {
        DiscardImageStream(image);
        partial_.reset();
        return DiscFail(OutputError(0, grabbed.error().message));
    }
    drive_ = std::move(*grabbed);
    testWrite_ = options.testWrite;
    if (const Result<void> started = drive_->StartWrite(image, options); !started) {
        drive_.reset();
        partial_.reset();
        return DiscFail(OutputError(0, started.error().message));
    }
    return {};
}

DeviceProgress ImageFileDevice::WriteProgress() {
    return drive_ ? drive_->Progress() : DeviceProgress{};
}

void ImageFileDevice::CancelWrite() {
    if (drive_)
        drive_->Cancel();
}

DiscResult<std::unique_ptr<BlockReader>> ImageFileDevice::OpenWritten() {
    if (!drive_)
        return DiscFail(OutputError(0, "Nothing was written."));
    return std::make_unique<BurnDriveReader>(*drive_);
}

DiscResult<void> ImageFileDevice::EndWrite(bool keep) {
    if (drive_) {
        drive_->Release(false);
        drive_.reset();
    }
    if (!partial_)
        return {};
    const std::unique_ptr<SideFile> partial = std::move(partial_);
    if (!keep || testWrite_)
        return {}; // the partial image is removed with it
    try {
        partial->commit();
        return {};
    } catch (const std::exception& e) {
        return DiscFail(OutputError(errno, e.what()));
    }
}

} // namespace trelmig
