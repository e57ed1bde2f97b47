#include "disc/OpticalDevice.h"

#include "disc/BurnLibrary.h"
#include "disc/ImageFileDevice.h"
#include "disc/MediaProfiles.h"

#include <chrono>
#include <libburn/libburn.h>
#include <thread>

namespace trelmig {

namespace {

std::string Trimmed(const char* text) {
    std::string s = text;
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    while (!s.empty() && s.front() == ' ')
        s.erase(0, 1);
    return s;
}

} // namespace

OpticalDevice::OpticalDevice(std::string address, std::string name, bool compatible)
    : address_(std::move(address)), name_(std::move(name)), compatible_(compatible) {}

bool OpticalDevice::Acquire(bool load) {
    if (drive_)
        return true;
    auto grabbed = BurnDrive::Grab(address_, load);
    if (grabbed)
        drive_ = std::move(*grabbed);
    return grabbed.has_value();
}

DiscError OpticalDevice::DeviceError(const std::string& text) const {
    DiscError error;
    error.category = kErrorDevice;
    error.device = {0, text, name_, address_};
    error.description = text;
    return error;
}

bool OpticalDevice::Capability(int code) {
    if (!Acquire(false))
        return false;
    if (code == kCapBufferUnderrunProtection)
        return drive_->UnderrunProof();
    return DriveHasEraseCapability(drive_->DriveProfiles(), code);
}

void OpticalDevice::RefreshMedia(bool) {
    const bool held = drive_ != nullptr;
    if (!Acquire(false)) {
        media_ = {};
        speeds_.clear();
        return;
    }
    if (held)
        drive_->ReAssess();
    profile_ = drive_->Profile();
    media_ = MediaOf(profile_, drive_->Status());
    speeds_ = drive_->WriteSpeeds();
}

long OpticalDevice::FreeBlocks(bool force) {
    if (force)
        RefreshMedia(true);
    if (!drive_ || !media_.writable)
        return 0;
    return static_cast<long>(drive_->AvailableBytes() / kBytesPerBlock);
}

long OpticalDevice::Speed(int index) const {
    if (index < 0 || index >= SpeedCount())
        return 0;
    return speeds_[static_cast<size_t>(index)].speed;
}

double OpticalDevice::SpeedMultiple(long speed) const {
    int profile = profile_;
    for (const auto& entry : speeds_)
        if (entry.speed == speed && entry.profile > 0)
            profile = entry.profile;
    return static_cast<double>(speed) / BaseSpeedOfProfile(profile);
}

bool OpticalDevice::Erase(bool quick, long value) {
    if (!Acquire(false))
        return false;
    std::string refusal;
    return drive_->StartErase(quick, value, refusal);
}

DeviceProgress OpticalDevice::EraseProgress() {
    if (!drive_ || (drive_->CurrentJob() != BurnDrive::Job::Erase &&
                    drive_->CurrentJob() != BurnDrive::Job::Immediate))
        return {};
    return drive_->Progress();
}

void OpticalDevice::Eject() {
    if (!drive_ && !Acquire(false))
        return;
    if (drive_->Busy())
        return;
    drive_->Release(true);
    drive_.reset();
    media_ = {};
}

void OpticalDevice::CloseTray() {
    if (drive_) {
        if (drive_->Busy())
            return;
        drive_->Release(false);
        drive_.reset();
    }
    Acquire(true);
}

std::uint32_t OpticalDevice::NextWritableBlock() {
    return Acquire(false) ? drive_->NextWritableAddress() : 0;
}

DiscResult<void> OpticalDevice::BeginWrite(::burn_source* image, const WriteOptions& options) {
    if (!Acquire(false)) {
        DiscardImageStream(image);
        return DiscFail(DeviceError("The drive could not be opened."));
    }
    if (const Result<void> started = drive_->StartWrite(image, options); !started) {
        const std::string& refusal = started.error().message;
        return DiscFail(DeviceError(refusal.empty() ? "The drive refused the write." : refusal));
    }
    return {};
}

DeviceProgress OpticalDevice::WriteProgress() {
    if (!drive_ || drive_->CurrentJob() != BurnDrive::Job::Write)
        return {};
    return drive_->Progress();
}

void OpticalDevice::CancelWrite() {
    if (drive_)
        drive_->Cancel();
}

DiscResult<std::unique_ptr<BlockReader>> OpticalDevice::OpenWritten() {
    if (!drive_)
        return DiscFail(DeviceError("The drive is not held."));
    drive_->ReAssess(); // learn the new table of contents
    return std::make_unique<BurnDriveReader>(*drive_);
}

DiscResult<void> OpticalDevice::EndWrite(bool) {
    if (drive_)
        RefreshMedia(true);
    return {};
}

std::vector<std::unique_ptr<DiscDevice>> ScanDiscDevices() {
    std::vector<std::unique_ptr<DiscDevice>> devices;
    if (InitializeDiscLibraries()) {
        burn::burn_drive_info* infos = nullptr;
        unsigned int count = 0;
        int result;
        while ((result = burn::burn_drive_scan(&infos, &count)) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (result > 0 && infos) {
            for (unsigned int i = 0; i < count; ++i) {
                char address[BURN_DRIVE_ADR_LEN] = "";
                if (burn::burn_drive_get_adr(&infos[i], address) <= 0)
                    continue;
                const auto& info = infos[i];
                const bool writes =
                    info.write_cdr || info.write_cdrw || info.write_dvdr || info.write_dvdram;
                std::string name = Trimmed(info.vendor) + " " + Trimmed(info.product);
                name = Trimmed(name.c_str()) + " (" + address + ")";
                devices.push_back(std::make_unique<OpticalDevice>(address, name, writes));
            }
            // Do not keep drives locked that nobody uses yet.
            for (unsigned int i = 0; i < count; ++i)
                burn::burn_drive_info_forget(&infos[i], 0);
            burn::burn_drive_info_free(infos);
        }
    }
    devices.push_back(std::make_unique<ImageFileDevice>());
    return devices;
}

} // namespace trelmig
