#include "cli/PrefixRefusal.h"

#include <filesystem>

namespace trelmig {

std::optional<std::string> MissingPrefixRefusal(const CommandLine& cmd) {
    // Only what works on the prefix needs it; looking into a backup file or
    // writing an image reads no prefix.
    using Mode = CommandLine::Mode;
    const bool usesPrefix = cmd.mode == Mode::Gui || cmd.mode == Mode::ListProfiles ||
                            cmd.mode == Mode::Restore || cmd.mode == Mode::Unattended ||
                            cmd.mode == Mode::Schedule;
    if (!usesPrefix)
        return std::nullopt;
    if (!cmd.prefix || cmd.prefix->empty())
        return std::nullopt;
    std::error_code ec;
    if (std::filesystem::is_directory(*cmd.prefix, ec))
        return std::nullopt;
    return "There is no Wine prefix at " + cmd.prefix->string() + ": the folder does not exist.";
}

} // namespace trelmig
