#pragma once

#include <QString>

#include <string_view>

namespace trelmig {

// An item's caption or tool tip from the catalogue, in the user's language.
QString ItemText(std::string_view english);

} // namespace trelmig
