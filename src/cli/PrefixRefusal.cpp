#include "cli/PrefixRefusal.h"

#include "cli/CommandOptions.h"
#include "core/Message.h"

#include <filesystem>

namespace trelmig {

std::optional<std::string> MissingPrefixRefusal(const CommandLine& cmd) {
    // Only what works on the prefix needs it; looking into a backup file or
    // writing an image reads no prefix.
    const CommandOption* verb = VerbOf(cmd.mode);
    if (!verb || !verb->readsPrefix)
        return std::nullopt;
    if (!cmd.prefix || cmd.prefix->empty())
        return std::nullopt;
    std::error_code ec;
    if (std::filesystem::is_directory(*cmd.prefix, ec))
        return std::nullopt;
    return MessageText(MessageId::NoPrefixFolder, cmd.prefix->string());
}

} // namespace trelmig
