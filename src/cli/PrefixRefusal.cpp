#include "cli/PrefixRefusal.h"

#include "core/Message.h"

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
    return MessageText(MessageId::NoPrefixFolder, cmd.prefix->string());
}

} // namespace trelmig
