#pragma once

#include "platform/SideFile.h"

#include "disc/BurnDrive.h"
#include "disc/DiscDevice.h"

#include <memory>
#include <string>

namespace trelmig {

// The "Image file (.iso)" device: writes the image into a file the user
// names, through a libburn "stdio:" drive. The image is written beside the
// target under a temporary name and takes the target's name only when the
// write is kept, so a failed or cancelled write leaves an older file as it was.
class ImageFileDevice : public DiscDevice {
public:
    static constexpr const char* kName = "Image file (.iso)";

    std::string Name() const override { return kName; }
    bool Compatible() const override { return true; }
    bool Capability(int) override { return false; }
    void RefreshMedia(bool) override {}
    DiscMedia Media() const override;
    long FreeBlocks(bool force) override;
    int SpeedCount() const override { return 0; }
    long Speed(int) const override { return 0; }
    double SpeedMultiple(long) const override { return 0; }
    bool Erase(bool, long) override { return false; }
    void Eject() override {}
    void CloseTray() override {}

    bool IsImageFile() const override { return true; }
    void SetTargetFile(const std::string& path) override { target_ = path; }
    std::string TargetFile() const override { return target_; }

    DiscResult<void> BeginWrite(::burn_source* image, const WriteOptions& options) override;
    DeviceProgress WriteProgress() override;
    void CancelWrite() override;
    DiscResult<std::unique_ptr<BlockReader>> OpenWritten() override;
    DiscResult<void> EndWrite(bool keep) override;
    DeviceProgress EraseProgress() override { return {}; }

    // The temporary file of the running write (empty when none).
    std::string PartialFile() const { return partial_ ? partial_->path() : std::string(); }

private:
    DiscError OutputError(int code, const std::string& description) const;

    std::string target_;
    std::unique_ptr<SideFile> partial_;
    bool testWrite_ = false;
    std::unique_ptr<BurnDrive> drive_;
};

} // namespace trelmig
