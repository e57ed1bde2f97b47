#include "disc/BurnDrive.h"

#include "disc/BurnLibrary.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <libburn/libburn.h>
#include <thread>
#include <vector>

using namespace burn;

namespace trelmig {

namespace {

constexpr int kFifoChunk = 2048;
constexpr int kFifoChunks = 2048;        // 4 MiB between the image and the drive
constexpr int kCacheFifoChunks = 32768;  // 64 MiB with "Cache Image"
constexpr int kPseudoBlankBytes = 65536; // the area that holds the file system's descriptors

// Starts a libburn job, again while libburn says the last one is still
// going on. False when it never started.
bool StartJob(const std::function<void()>& start) {
    TakeDriveBusyRefusal(); // an old refusal says nothing about this start
    for (int attempt = 0; attempt < 500; ++attempt) {
        start();
        if (!TakeDriveBusyRefusal())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void WaitWhileSpawning(burn_drive* drive) {
    while (burn_drive_get_status(drive, nullptr) == BURN_DRIVE_SPAWNING)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

bool Overwriteable(int profile) {
    return profile == 0x12 || profile == 0x13 || profile == 0x1a || profile == 0x43;
}

} // namespace

Result<std::unique_ptr<BurnDrive>> BurnDrive::Grab(const std::string& address, bool load) {
    if (!InitializeDiscLibraries())
        return Fail("The recording library could not be started.");
    std::unique_ptr<BurnDrive> drive(new BurnDrive());
    drive->address_ = address;
    std::vector<char> adr(address.begin(), address.end());
    adr.push_back('\0');
    if (burn_drive_scan_and_grab(&drive->info_, adr.data(), load ? 1 : 0) <= 0) {
        if (drive->info_)
            burn_drive_info_free(drive->info_);
        drive->info_ = nullptr;
        return Fail("The drive " + address + " could not be opened.");
    }
    drive->drive_ = drive->info_[0].drive;
    return drive;
}

BurnDrive::~BurnDrive() {
    Release(false);
}

void BurnDrive::Release(bool eject) {
    if (!drive_)
        return;
    if (Busy()) {
        burn_drive_cancel(drive_);
        while (burn_drive_get_status(drive_, nullptr) != BURN_DRIVE_IDLE)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    FreeJob();
    burn_drive_release(drive_, eject ? 1 : 0);
    burn_drive_info_free(info_);
    drive_ = nullptr;
    info_ = nullptr;
}

void BurnDrive::ReAssess() {
    if (drive_ && !Busy())
        burn_drive_re_assess(drive_, 0);
}

int BurnDrive::Profile() const {
    int profile = 0;
    char name[80];
    if (!drive_ || burn_disc_get_profile(drive_, &profile, name) <= 0)
        return 0;
    return profile;
}

DiscStatus BurnDrive::Status() const {
    if (!drive_)
        return DiscStatus::Unknown;
    switch (burn_disc_get_status(drive_)) {
    case BURN_DISC_EMPTY:
        return DiscStatus::Empty;
    case BURN_DISC_BLANK:
        return DiscStatus::Blank;
    case BURN_DISC_APPENDABLE:
        return DiscStatus::Appendable;
    case BURN_DISC_FULL:
        return DiscStatus::Full;
    case BURN_DISC_UNSUITABLE:
        return DiscStatus::Unsuitable;
    default:
        return DiscStatus::Unknown;
    }
}

std::vector<int> BurnDrive::DriveProfiles() const {
    std::vector<int> result;
    if (!drive_)
        return result;
    int count = 0;
    int profiles[64];
    char current[64];
    if (burn_drive_get_all_profiles(drive_, &count, profiles, current) > 0)
        result.assign(profiles, profiles + count);
    return result;
}

std::int64_t BurnDrive::AvailableBytes() const {
    if (!drive_)
        return 0;
    burn_write_opts* options = burn_write_opts_new(drive_);
    const off_t bytes = burn_disc_available_space(drive_, options);
    burn_write_opts_free(options);
    return bytes < 0 ? 0 : static_cast<std::int64_t>(bytes);
}

std::vector<BurnDrive::SpeedEntry> BurnDrive::WriteSpeeds() const {
    std::vector<SpeedEntry> speeds;
    burn_speed_descriptor* list = nullptr;
    if (!drive_ || burn_drive_get_speedlist(drive_, &list) <= 0 || !list)
        return speeds;
    for (burn_speed_descriptor* s = list; s; s = s->next) {
        if (s->write_speed <= 0)
            continue;
        bool seen = false;
        for (const auto& entry : speeds)
            seen = seen || entry.speed == s->write_speed;
        if (!seen)
            speeds.push_back({s->write_speed, s->profile_loaded});
    }
    burn_drive_free_speedlist(&list);
    return speeds;
}

bool BurnDrive::UnderrunProof() const {
    if (!drive_)
        return false;
    burn_write_opts* options = burn_write_opts_new(drive_);
    const bool proof = burn_write_opts_set_underrun_proof(options, 1) == 1;
    burn_write_opts_free(options);
    return proof;
}

std::uint32_t BurnDrive::NextWritableAddress() const {
    if (!drive_ || Status() != DiscStatus::Appendable)
        return 0;
    burn_write_opts* options = burn_write_opts_new(drive_);
    int lba = 0;
    int nwa = 0;
    const int result = burn_disc_track_lba_nwa(drive_, options, 0, &lba, &nwa);
    burn_write_opts_free(options);
    return result > 0 && nwa > 0 ? static_cast<std::uint32_t>(nwa) : 0;
}

bool BurnDrive::Busy() const {
    return drive_ && burn_drive_get_status(drive_, nullptr) != BURN_DRIVE_IDLE;
}

void BurnDrive::FreeJob() {
    if (disc_)
        burn_disc_free(disc_);
    if (writeOptions_)
        burn_write_opts_free(writeOptions_);
    disc_ = nullptr;
    writeOptions_ = nullptr;
}

Result<void> BurnDrive::StartWrite(::burn_source* image, const WriteOptions& options) {
    auto* source = reinterpret_cast<burn::burn_source*>(image);
    if (!drive_ || Busy()) {
        burn_source_free(source);
        return Fail("The drive is busy.");
    }
    FreeJob();
    burn::burn_source* fifo = burn_fifo_source_new(
        source, kFifoChunk, options.cacheImage ? kCacheFifoChunks : kFifoChunks, 0);
    burn_source_free(source); // the fifo holds it now
    if (!fifo)
        return Fail("Out of memory for the write buffer.");
    disc_ = burn_disc_create();
    burn_session* session = burn_session_create();
    burn_track* track = burn_track_create();
    burn_track_define_data(track, 0, 0, 1, BURN_MODE1);
    burn_track_set_source(track, fifo);
    burn_source_free(fifo); // the track holds it now
    burn_session_add_track(session, track, BURN_POS_END);
    burn_track_free(track);
    burn_disc_add_session(disc_, session, BURN_POS_END);
    burn_session_free(session);

    writeOptions_ = burn_write_opts_new(drive_);
    const bool dao = options.writeMode == kWriteModeDiscAtOnce;
    if (burn_write_opts_set_write_type(writeOptions_, dao ? BURN_WRITE_SAO : BURN_WRITE_TAO,
                                       dao ? BURN_BLOCK_SAO : BURN_BLOCK_MODE1) <= 0) {
        // The medium does not know the mode asked for (overwriteable DVD,
        // BD): let libburn choose the one it can do.
        char reasons[BURN_REASONS_LEN] = "";
        if (burn_write_opts_auto_write_type(writeOptions_, disc_, reasons, 0) == BURN_WRITE_NONE) {
            FreeJob();
            return Fail(reasons);
        }
    }
    burn_write_opts_set_simulate(writeOptions_, options.testWrite ? 1 : 0);
    burn_write_opts_set_underrun_proof(writeOptions_, options.bufferProtection ? 1 : 0);
    // Leave the disc open for more sessions only where the medium can be
    // appended to; everything else is closed by the write anyway.
    bool multi = !options.finalize;
    burn_multi_caps* caps = nullptr;
    if (multi && burn_disc_get_multi_caps(drive_, BURN_WRITE_NONE, &caps, 0) > 0 && caps)
        multi = caps->multi_session != 0;
    if (caps)
        burn_disc_free_multi_caps(&caps);
    burn_write_opts_set_multi(writeOptions_, multi ? 1 : 0);
    burn_drive_set_speed(drive_, 0, static_cast<int>(options.speed));
    char reasons[BURN_REASONS_LEN] = "";
    if (burn_precheck_write(writeOptions_, disc_, reasons, 0) <= 0) {
        FreeJob();
        return Fail(reasons);
    }
    if (!StartJob([this] { burn_disc_write(writeOptions_, disc_); })) {
        FreeJob();
        return Fail("The drive is still busy with its last job.");
    }
    WaitWhileSpawning(drive_);
    job_ = Job::Write;
    return {};
}

bool BurnDrive::StartErase(bool quick, long speed, std::string& refusal) {
    if (!drive_ || Busy()) {
        refusal = "The drive is busy.";
        return false;
    }
    FreeJob();
    burn_drive_set_speed(drive_, 0, static_cast<int>(speed));
    const int profile = Profile();
    const DiscStatus status = Status();
    if (Overwriteable(profile) && quick) {
        // Overwriteable media are not blanked: wiping the start makes the
        // old file system unreadable, as a fast blank does on a CD-RW.
        std::vector<char> zeros(kPseudoBlankBytes, 0);
        job_ = Job::Immediate;
        jobSucceeded_ = burn_random_access_write(drive_, 0, zeros.data(), kPseudoBlankBytes, 1) > 0;
        return true;
    }
    std::function<void()> start;
    if (profile == 0x1a || profile == 0x43 || profile == 0x12) {
        start = [this] { burn_disc_format(drive_, 0, (3 << 1) | 16); }; // default size, afresh
    } else if (status == DiscStatus::Blank && profile != 0x13) {
        job_ = Job::Immediate; // nothing written on it
        jobSucceeded_ = true;
        return true;
    } else {
        start = [this, quick] { burn_disc_erase(drive_, quick ? 1 : 0); };
    }
    if (!StartJob(start)) {
        refusal = "The drive is still busy with its last job.";
        return false;
    }
    WaitWhileSpawning(drive_);
    job_ = Job::Erase;
    return true;
}

DeviceProgress BurnDrive::Progress() {
    DeviceProgress progress;
    if (!drive_ || job_ == Job::None)
        return progress;
    if (job_ == Job::Immediate) {
        progress.finished = true;
        progress.succeeded = jobSucceeded_;
        job_ = Job::None;
        return progress;
    }
    burn_progress p{};
    const burn_drive_status status = burn_drive_get_status(drive_, &p);
    using A = DeviceProgress::Activity;
    switch (status) {
    case BURN_DRIVE_IDLE:
        progress.finished = true;
        progress.succeeded = burn_drive_wrote_well(drive_) == 1;
        FreeJob();
        job_ = Job::None;
        return progress;
    case BURN_DRIVE_SPAWNING:
    case BURN_DRIVE_GRABBING:
        progress.activity = A::Starting;
        break;
    case BURN_DRIVE_WRITING_LEADIN:
        progress.activity = A::LeadIn;
        break;
    case BURN_DRIVE_WRITING_LEADOUT:
        progress.activity = A::LeadOut;
        break;
    case BURN_DRIVE_WRITING_PREGAP:
        progress.activity = A::Pregap;
        break;
    case BURN_DRIVE_CLOSING_TRACK:
        progress.activity = A::ClosingTrack;
        break;
    case BURN_DRIVE_CLOSING_SESSION:
        progress.activity = A::ClosingSession;
        break;
    case BURN_DRIVE_FORMATTING:
        progress.activity = A::Formatting;
        break;
    case BURN_DRIVE_ERASING:
        progress.activity = A::Erasing;
        break;
    default:
        progress.activity = A::Writing;
        break;
    }
    progress.track = p.track + 1;
    progress.done = p.sector;
    progress.total = p.sectors;
    return progress;
}

void BurnDrive::Cancel() {
    if (drive_ && job_ == Job::Write && Busy())
        burn_drive_cancel(drive_);
}

std::int64_t BurnDrive::ReadBlocks(std::uint32_t lba, std::uint32_t count, char* buffer) {
    if (!drive_)
        return 0;
    off_t got = 0;
    const int result = burn_read_data(drive_, static_cast<off_t>(lba) * kBytesPerBlock, buffer,
                                      static_cast<off_t>(count) * kBytesPerBlock, &got, 2);
    if (result <= 0 && got <= 0)
        return 0;
    return static_cast<std::int64_t>(got) / kBytesPerBlock;
}

} // namespace trelmig
