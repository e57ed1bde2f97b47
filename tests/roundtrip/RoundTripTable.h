#pragma once

// The table of the round trip, one row per prefix kind and profile, printed
// when the test binary ends so that it can be pasted as it is.
#include <string>

namespace roundtrip {

void addTableRow(const std::string& kind, const std::string& profile, const std::string& outcome);

} // namespace roundtrip
