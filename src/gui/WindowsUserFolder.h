#pragma once

namespace trelmig {

class MainWindow;

// File > "Open Windows User Folder...": asks for a Windows user folder (the
// dialog opens on the first one of a mounted Windows partition) and starts
// the program on it, read-only; this window then goes as File > Quit does.
void OpenWindowsUserFolder(MainWindow& window);

} // namespace trelmig
