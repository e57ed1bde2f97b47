#pragma once

#include <filesystem>
#include <optional>

namespace trelmig {

class Environment;
class Prompter;

// File > "Undo Last Restore...": the last restore into env's prefix among
// the undo records kept in records is put back once the user agreed, then
// the registry and the profiles are read again. True when they were: the
// windows list the profiles anew.
bool UndoLastRestore(Environment& env, Prompter& prompter,
                     const std::optional<std::filesystem::path>& records);

} // namespace trelmig
