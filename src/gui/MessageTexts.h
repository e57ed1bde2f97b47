#pragma once

#include "core/Message.h"

#include <QString>

#include <string>
#include <vector>

namespace trelmig {

// A message of the table in the user's language: its template translated,
// then filled in with its values (never read as placeholders themselves, and
// translated only where they are a run's completion lines).
std::string TranslatedMessage(const Message& message);

// Messages that make one text, each translated, joined as they come.
QString TranslatedText(const std::vector<Message>& parts);

} // namespace trelmig
