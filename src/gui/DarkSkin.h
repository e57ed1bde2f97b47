#pragma once

#include <QString>

class QPalette;

namespace trelmig {

// Whether the desktop's palette is a dark one: its window colour is dark.
bool IsDarkPalette(const QPalette& palette);

// The skin's dark variant: each colour of the light skin replaced by its
// dark counterpart, text colours by one table, backgrounds and lines by
// another (the accent stays the accent's background, but is lightened as a
// text colour). Colours of neither table stay as they are.
QString DarkSkin(const QString& lightSheet);

} // namespace trelmig
