#pragma once

#include "core/CancelToken.h"
#include "core/Error.h"
#include "mailstore/MailStore.h"

#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace trelmig {

// Writes each message as "SUBJECT.eml" into folder, never over a file that is
// there (" (2)", " (3)" ... instead). Returns the files written, in the
// order of messages; cancel stops after the message being written. A failure
// removes the file it was writing and keeps those finished before it.
Result<std::vector<std::filesystem::path>> ExportEml(MailStore& store,
                                                     std::span<const MessageRef> messages,
                                                     const std::filesystem::path& folder,
                                                     const CancelToken* cancel = nullptr);
// Writes the messages into one mboxrd file: file, or "NAME (2).EXT" ... when
// file exists. Returns it; a failure or cancel leaves no file.
Result<std::vector<std::filesystem::path>> ExportMbox(MailStore& store,
                                                      std::span<const MessageRef> messages,
                                                      const std::filesystem::path& file,
                                                      const CancelToken* cancel = nullptr);

} // namespace trelmig
