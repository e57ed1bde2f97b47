#pragma once

#include <string>
#include <string_view>

namespace trelmig {

// A run's completion lines in the user's language: each line's item label
// and verdict ("Backup Signatures", "succeeded!") and a reason the program
// words itself are translated; tabs, paths and other reasons stay.
std::string TranslatedCompletionLog(std::string_view log);

} // namespace trelmig
