#pragma once

#include "core/Error.h"

#include "disc/DiscDevice.h"
#include "disc/MediaProfiles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace burn {
struct burn_drive;
struct burn_drive_info;
struct burn_write_opts;
struct burn_disc;
// libburn's own, distinct from the global one libisofs declares for the same
// stream; BurnDrive.cpp converts between them.
struct burn_source; // NOLINT(bugprone-forward-declaration-namespace)
} // namespace burn

namespace trelmig {

// A drive held through libburn: an optical drive ("/dev/sr0") or a
// "stdio:" pseudo-drive on a file. Writing, blanking and formatting run in
// libburn's thread; Progress tells how far they are.
class BurnDrive {
public:
    // Acquires the drive; null, with the reason, when it cannot. load closes
    // the tray.
    static Result<std::unique_ptr<BurnDrive>> Grab(const std::string& address, bool load);
    ~BurnDrive();
    BurnDrive(const BurnDrive&) = delete;
    BurnDrive& operator=(const BurnDrive&) = delete;

    // Gives the drive up (the object is unusable afterwards).
    void Release(bool eject);

    std::string Address() const { return address_; }
    // Reads the medium's state again.
    void ReAssess();
    int Profile() const;
    DiscStatus Status() const;
    std::vector<int> DriveProfiles() const;
    std::int64_t AvailableBytes() const;
    // Write speeds in 1000 bytes per second, with the profile each was
    // reported for.
    struct SpeedEntry {
        long speed;
        int profile;
    };
    std::vector<SpeedEntry> WriteSpeeds() const;
    bool UnderrunProof() const;
    // The first block of the next session on an appendable medium, else 0.
    std::uint32_t NextWritableAddress() const;
    bool Busy() const;

    // Takes the stream over in any case. False with a reason when libburn
    // refuses the job before it starts.
    Result<void> StartWrite(::burn_source* image, const WriteOptions& options);
    bool StartErase(bool quick, long speed, std::string& refusal);
    // How the running job goes. A finished job is reported once; after that
    // the drive has no job.
    DeviceProgress Progress();
    enum class Job { None, Write, Erase, Immediate };
    Job CurrentJob() const { return job_; }
    void Cancel();
    std::int64_t ReadBlocks(std::uint32_t lba, std::uint32_t count, char* buffer);

private:
    BurnDrive() = default;
    void FreeJob();

    std::string address_;
    burn::burn_drive_info* info_ = nullptr;
    burn::burn_drive* drive_ = nullptr;
    burn::burn_write_opts* writeOptions_ = nullptr;
    burn::burn_disc* disc_ = nullptr;
    Job job_ = Job::None;
    bool jobSucceeded_ = false;
};

// Reads the written image back from a drive, for verification.
class BurnDriveReader : public BlockReader {
public:
    explicit BurnDriveReader(BurnDrive& drive) : drive_(drive) {}
    std::int64_t ReadBlocks(std::uint32_t lba, std::uint32_t count, char* buffer) override {
        return drive_.ReadBlocks(lba, count, buffer);
    }

private:
    BurnDrive& drive_;
};

} // namespace trelmig
