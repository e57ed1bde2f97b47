#pragma once

class QWidget;

namespace trelmig {

class WindowMemory;

// Gives window the size and place it had when it was last closed, and keeps
// them again each time it is hidden, under its object name. memory must
// outlive the window; without memory (nothing is remembered) it does nothing.
void KeepWindowSize(QWidget* window, WindowMemory* memory);

} // namespace trelmig
