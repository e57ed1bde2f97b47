#pragma once

#include "disc/BurnDrive.h"
#include "disc/DiscDevice.h"

#include <memory>
#include <string>
#include <vector>

namespace trelmig {

// A CD/DVD/BD recorder found by libburn. The drive is acquired when it is
// first asked about its medium and held until the device goes away (or is
// ejected).
class OpticalDevice : public DiscDevice {
public:
    OpticalDevice(std::string address, std::string name, bool compatible);

    std::string Name() const override { return name_; }
    bool Compatible() const override { return compatible_; }
    bool Capability(int code) override;
    void RefreshMedia(bool force) override;
    DiscMedia Media() const override { return media_; }
    long FreeBlocks(bool force) override;
    int SpeedCount() const override { return static_cast<int>(speeds_.size()); }
    long Speed(int index) const override;
    double SpeedMultiple(long speed) const override;
    bool Erase(bool quick, long value) override;
    void Eject() override;
    void CloseTray() override;

    std::uint32_t NextWritableBlock() override;
    DiscResult<void> BeginWrite(::burn_source* image, const WriteOptions& options) override;
    DeviceProgress WriteProgress() override;
    void CancelWrite() override;
    DiscResult<std::unique_ptr<BlockReader>> OpenWritten() override;
    DiscResult<void> EndWrite(bool keep) override;
    DeviceProgress EraseProgress() override;

private:
    bool Acquire(bool load);
    DiscError DeviceError(const std::string& text) const;

    std::string address_;
    std::string name_;
    bool compatible_;
    std::unique_ptr<BurnDrive> drive_;
    DiscMedia media_;
    int profile_ = 0;
    std::vector<BurnDrive::SpeedEntry> speeds_;
};

// Every recorder libburn finds, then the image file device.
std::vector<std::unique_ptr<DiscDevice>> ScanDiscDevices();

} // namespace trelmig
