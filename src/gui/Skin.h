#pragma once

#include <QString>

class QWidget;

namespace trelmig {

inline constexpr const char* kSkinFile = "skins/frmmain.skn";

// The style sheet of a skin file, its relative url() paths made absolute
// against the skin's folder; empty when the file is missing or unreadable,
// which leaves the default look.
QString LoadSkin(const QString& skinPath);

// The program's skin for the desktop's palette: its dark variant on a dark
// palette; empty when the skin file is missing.
const QString& ProgramSkin();

// Applies the program's skin (skins/frmmain.skn in the data folders) to a
// window; its dialogs and message boxes inherit it.
void ApplySkin(QWidget* window);

// The same for every window of the program, including those opened later.
void ApplySkinToApplication();

} // namespace trelmig
