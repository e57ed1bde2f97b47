#include "cli/PrefixRefusal.h"

#include <filesystem>

namespace trelmig {

std::optional<std::string> MissingPrefixRefusal(const CommandLine& cmd) {
    using Mode = CommandLine::Mode;
    if (cmd.mode == Mode::Help || cmd.mode == Mode::Version || cmd.mode == Mode::Invalid)
        return std::nullopt;
    if (!cmd.prefix || cmd.prefix->empty())
        return std::nullopt;
    std::error_code ec;
    if (std::filesystem::is_directory(*cmd.prefix, ec))
        return std::nullopt;
    return "There is no Wine prefix at " + cmd.prefix->string() + ": the folder does not exist.";
}

} // namespace trelmig
