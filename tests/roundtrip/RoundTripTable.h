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

// A third table: each case's outcome by the way its backup went, a .kvx, a
// folder repository and a repository over ssh.
void addRouteRow(const std::string& kind, const std::string& profile, const std::string& kvx,
                 const std::string& local, const std::string& ssh);

} // namespace roundtrip
