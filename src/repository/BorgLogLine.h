#pragma once

#include "repository/Repository.h"

#include <optional>
#include <string>
#include <string_view>

namespace trelmig {

// One line borg writes on its standard error with --log-json.
struct BorgLogLine {
    enum class Kind { Message, Progress, Other };
    Kind kind = Kind::Other;
    // Kind::Message: the level (DEBUG ... CRITICAL), the message id of an
    // error where borg gives one ("PassphraseWrong", "LockTimeout", ...) and
    // borg's words.
    std::string level, msgid, message;
    // Kind::Progress: what it says (the sizes of archive_progress, the
    // percent of progress_percent, the words of progress_message).
    RepositoryProgress progress;
};

// A line that is no JSON object (borg's own traceback, ssh's words on the
// way) is a Message of level "TEXT" holding the line.
BorgLogLine ParseBorgLogLine(std::string_view line);

} // namespace trelmig
