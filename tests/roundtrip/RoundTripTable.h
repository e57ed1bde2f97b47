#pragma once

// The table of the round trip, one row per prefix kind and profile, printed
// when the test binary ends so that it can be pasted as it is.
#include <string>

namespace roundtrip {

void addTableRow(const std::string& kind, const std::string& profile, const std::string& outcome);
// A second table for the cases with names in and beyond the prefix's code
// page: one row per code page, kind of name and the names of that kind.
void addNameRow(const std::string& codePage, const std::string& nameKind, const std::string& names,
                const std::string& outcome);

} // namespace roundtrip
