#pragma once

#include <QString>

#include <string>

namespace trelmig {

// A time stored as "YYYY-MM-DD HH:MM[:SS]" (local), in the user's locale's
// short form; as stored when it is not in that form.
QString LocalTimeText(const std::string& stored);

} // namespace trelmig
