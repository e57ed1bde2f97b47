#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trelmig {

// The mboxrd form of a mailbox file: each message begins with a "From "
// line, its lines end in LF, and every line that reads ">*From " gets one '>'
// more, so that a reader takes the quoting off again without loss.

// "From ADDRESS DATE": the sender's address (the part in <>, else the whole
// sender when it has no space, else MAILER-DAEMON) and the time in asctime
// form, UTC.
std::string MboxFromLine(std::string_view sender, std::optional<std::int64_t> time);
// The message (lines ending in CR LF or LF) quoted, lines ending in LF, and
// ending in one empty line.
std::string MboxrdBody(std::string_view message);

} // namespace trelmig
