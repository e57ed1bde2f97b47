#pragma once

#include <string>

namespace trelmig {

class Environment;
class ZipArchive;
struct InspectedArchive;
struct RestoreChoices;

// The question asked before "Restore Now" runs: the program's own warning,
// the profile restored into and the data files the restore will replace.
std::string RestoreConfirmationText(Environment& env, ZipArchive& zip,
                                    const InspectedArchive& archive, const RestoreChoices& choices);

} // namespace trelmig
