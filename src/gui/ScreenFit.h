#pragma once

#include <QSize>

class QScrollArea;
class QWidget;

namespace trelmig {

// Resizes a window to wanted (device-independent pixels), but never larger
// than the screen it opens on: at 200 % a 1080p screen has 960x540 of them.
void ResizeWithinScreen(QWidget* window, QSize wanted);

// Widens a window towards width as far as its screen has room; never
// narrows it nor changes its height.
void WidenWithinScreen(QWidget* window, int width);

// Gives a window the size its content asks for, within the screen, as it
// opens for the first time (a remembered size replaces it).
void OpenAtContentSize(QWidget* window);

// Puts a page in a scroll area without a frame, so that a small or scaled
// screen shrinks the window and scrolls the page instead of pushing the
// window's buttons off the screen. Where there is room it asks for the whole page. The page keeps
// its object name. A page whose layout is a row of columns lays them one
// under the other where the area is too narrow for them side by side.
QScrollArea* Scrolling(QWidget* page);

} // namespace trelmig
