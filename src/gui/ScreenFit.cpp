#include "gui/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

namespace trelmig {

void ResizeWithinScreen(QWidget* window, QSize wanted) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        // Room for the title bar and the desktop's panels.
        const QSize room = screen->availableGeometry().size() - QSize(16, 48);
        wanted = wanted.boundedTo(room.expandedTo(window->minimumSizeHint()));
    }
    window->resize(wanted);
}

namespace {

// A scroll area that asks for its whole page: a window opens showing all of
// it where the screen has room (QScrollArea asks for at most 36 by 24 lines).
class PageArea : public QScrollArea {
public:
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(frame, frame) : QScrollArea::sizeHint();
    }
};

} // namespace

void OpenAtContentSize(QWidget* window) {
    window->ensurePolished();
    ResizeWithinScreen(window, window->sizeHint());
}

QScrollArea* Scrolling(QWidget* page) {
    auto* area = new PageArea;
    area->setObjectName(page->objectName() + QStringLiteral("Scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(page);
    // The page's own background shows, whatever the palette's.
    area->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    return area;
}

} // namespace trelmig
