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

QScrollArea* Scrolling(QWidget* page) {
    auto* area = new QScrollArea;
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
