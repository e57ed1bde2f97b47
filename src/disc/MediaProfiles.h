#pragma once

#include "disc/DiscTypes.h"

#include <vector>

namespace trelmig {

// What the drive says about the loaded medium, independent of the library.
enum class DiscStatus { Unknown, Empty, Blank, Appendable, Full, Unsuitable };

// One line of the table mapping the drive's profile numbers (MMC) onto the
// engine's media type codes.
struct MediaProfile {
    int profile;
    int mediaType;
    bool rewritable;     // can be blanked or overwritten
    int eraseCapability; // the capability that blanks it, 0 when none does
    double baseSpeed;    // 1x in 1000 bytes per second
    const char* name;
};

const std::vector<MediaProfile>& MediaProfileTable();
// The line for a profile number; null for an unknown profile.
const MediaProfile* FindMediaProfile(int profile);

// The media object for a drive state: type 0 without a medium, writable while
// it is blank or appendable.
DiscMedia MediaOf(int profile, DiscStatus status);

// Whether a drive supporting these profiles answers the erase capability.
bool DriveHasEraseCapability(const std::vector<int>& driveProfiles, int capability);

// 1x for the profile's family (CD, DVD, BD); CD for an unknown profile.
double BaseSpeedOfProfile(int profile);

} // namespace trelmig
