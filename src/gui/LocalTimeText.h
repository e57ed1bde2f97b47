#pragma once

#include <QDateTime>
#include <QString>

#include <string>

namespace trelmig {

// A time stored as "YYYY-MM-DD HH:MM[:SS]" (local), in the user's locale's
// short form; as stored when it is not in that form.
QString LocalTimeText(const std::string& stored);
// A time in the same form: every time the windows show reads alike.
QString LocalTimeText(const QDateTime& time);

} // namespace trelmig
