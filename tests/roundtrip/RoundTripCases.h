#pragma once

// The prefixes of the round trip and the faults of the program it knows.
#include "OutlookPrefix.h"

#include <string>
#include <vector>

namespace roundtrip {

struct RoundTripCase {
    std::string name;    // gtest-safe: kind and profile
    std::string kindTag; // the table's row
    PrefixSpec source;
    PrefixSpec target; // the fresh prefix: same profile names, no data
    std::string profile;
    // Wine takes seconds to start: it reads one restored profile of each
    // prefix kind, the one with a non-ASCII name where there is one.
    bool readByWine = false;
    PrefixState targetState = PrefixState::StartedOnce;
    // Backed up from the Windows PC the source stands for (its user folder
    // and hives on a disk) instead of from the prefix.
    bool fromWindows = false;
    // Restored with --create as a new profile of the target: the bottle's
    // default when it had none, else beside its default.
    bool createProfile = false;
    // Also through a repository on an ssh server (every case goes through a
    // folder repository): one case of each code page's names.
    bool overSsh = false;
};

std::vector<RoundTripCase> roundTripCases();

// A fault of the program the round trip finds: while it stands, its check
// is reported and skipped instead of failed. Matches a check whose id
// contains check, in the case named caseName (every case when empty).
struct KnownFault {
    std::string caseName;
    std::string check;
    std::string reason; // a short name, a colon, the explanation
};

const std::vector<KnownFault>& knownFaults();

} // namespace roundtrip
