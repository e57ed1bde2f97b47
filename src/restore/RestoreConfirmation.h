#pragma once

#include <string>

namespace trelmig {

class Environment;
class ZipArchive;
struct InspectedArchive;
struct RestoreChoices;

// The question asked before "Restore Now" runs: what the restore replaces
// (the messages only where their data files are replaced, else the chosen
// items), the profile restored into and the data files it will replace.
std::string RestoreConfirmationText(Environment& env, ZipArchive& zip,
                                    const InspectedArchive& archive, const RestoreChoices& choices);

} // namespace trelmig
