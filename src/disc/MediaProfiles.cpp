#include "disc/MediaProfiles.h"

#include <algorithm>

namespace trelmig {

namespace {

constexpr double kCdSpeed = 176.4;
constexpr double kDvdSpeed = 1385.0;
constexpr double kBdSpeed = 4495.5;

} // namespace

const std::vector<MediaProfile>& MediaProfileTable() {
    static const std::vector<MediaProfile> table = {
        {0x08, kMediaCdRom, false, 0, kCdSpeed, "CD-ROM"},
        {0x09, kMediaCdR, false, 0, kCdSpeed, "CD-R"},
        {0x0a, kMediaCdRw, true, kCapEraseCdRw, kCdSpeed, "CD-RW"},
        {0x10, kMediaDvdRom, false, 0, kDvdSpeed, "DVD-ROM"},
        {0x11, kMediaDvdR, false, 0, kDvdSpeed, "DVD-R sequential recording"},
        {0x12, kMediaDvdRam, true, 0, kDvdSpeed, "DVD-RAM"},
        {0x13, kMediaDvdRwOverwrite, true, kCapEraseDvdRwOverwrite, kDvdSpeed,
         "DVD-RW restricted overwrite"},
        {0x14, kMediaDvdRw, true, kCapEraseDvdRw, kDvdSpeed, "DVD-RW sequential recording"},
        {0x15, kMediaDvdRDl, false, 0, kDvdSpeed, "DVD-R/DL sequential recording"},
        {0x16, kMediaDvdRDl, false, 0, kDvdSpeed, "DVD-R/DL layer jump recording"},
        {0x1a, kMediaDvdPlusRw, true, kCapEraseDvdPlusRw, kDvdSpeed, "DVD+RW"},
        {0x1b, kMediaDvdPlusR, false, 0, kDvdSpeed, "DVD+R"},
        {0x2b, kMediaDvdPlusRDl, false, 0, kDvdSpeed, "DVD+R/DL"},
        {0x40, kMediaBdRom, false, 0, kBdSpeed, "BD-ROM"},
        {0x41, kMediaBdR, false, 0, kBdSpeed, "BD-R sequential recording"},
        {0x42, kMediaBdR, false, 0, kBdSpeed, "BD-R random recording"},
        {0x43, kMediaBdRe, true, kCapEraseBdRe, kBdSpeed, "BD-RE"},
        {0xffff, kMediaImageFile, false, 0, kDvdSpeed, "stdio file"},
    };
    return table;
}

const MediaProfile* FindMediaProfile(int profile) {
    const auto& table = MediaProfileTable();
    auto it = std::find_if(table.begin(), table.end(),
                           [profile](const MediaProfile& p) { return p.profile == profile; });
    return it == table.end() ? nullptr : &*it;
}

DiscMedia MediaOf(int profile, DiscStatus status) {
    DiscMedia media;
    if (status == DiscStatus::Empty || status == DiscStatus::Unknown)
        return media;
    const MediaProfile* known = FindMediaProfile(profile);
    media.type = known ? known->mediaType : kMediaUnknown;
    media.rewritable = known && known->rewritable;
    const bool recordable = known && media.type != kMediaCdRom && media.type != kMediaDvdRom &&
                            media.type != kMediaBdRom;
    media.writable =
        recordable && (status == DiscStatus::Blank || status == DiscStatus::Appendable);
    return media;
}

bool DriveHasEraseCapability(const std::vector<int>& driveProfiles, int capability) {
    if (capability == 0)
        return false;
    for (int profile : driveProfiles) {
        const MediaProfile* known = FindMediaProfile(profile);
        if (known && known->eraseCapability == capability)
            return true;
    }
    return false;
}

double BaseSpeedOfProfile(int profile) {
    const MediaProfile* known = FindMediaProfile(profile);
    return known ? known->baseSpeed : kCdSpeed;
}

} // namespace trelmig
