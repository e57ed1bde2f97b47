#include "gui/ScreenFit.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace trelmig {

namespace {

// Room for the title bar and the desktop's panels.
constexpr QSize kScreenMargins(16, 48);

// The room a window has on its screen; nullopt where there is no screen.
std::optional<QSize> roomOnScreen(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->availableGeometry().size() - kScreenMargins;
}

} // namespace

void ResizeWithinScreen(QWidget* window, QSize wanted) {
    if (const auto room = roomOnScreen(window))
        wanted = wanted.boundedTo(room->expandedTo(window->minimumSizeHint()));
    window->resize(wanted);
}

void WidenWithinScreen(QWidget* window, int width) {
    if (const auto room = roomOnScreen(window))
        width = std::min(width, room->width());
    if (width > window->width())
        window->resize(width, window->height());
}

namespace {

// A scroll area that asks for its whole page: a window opens showing all of
// it where the screen has room (QScrollArea asks for at most 36 by 24 lines).
class PageArea : public QScrollArea {
public:
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return widget() ? pageHint() + QSize(frame, frame) : QScrollArea::sizeHint();
    }

private:
    // The page's columns one under the other where the screen is too narrow
    // for them side by side, as they will stand once the window is there.
    QSize pageHint() const {
        QSize hint = widget()->sizeHint();
        auto* columns = qobject_cast<QBoxLayout*>(widget()->layout());
        const QScreen* screen = window()->screen();
        if (!columns || !screen || columns->direction() != QBoxLayout::LeftToRight ||
            hint.width() <= screen->availableGeometry().width() - kScreenMargins.width())
            return hint;
        QSize stacked;
        for (int i = 0; i < columns->count(); ++i) {
            const QSize item = columns->itemAt(i)->sizeHint();
            stacked.setWidth(std::max(stacked.width(), item.width()));
            stacked.rheight() += item.height() + (i ? std::max(0, columns->spacing()) : 0);
        }
        // A page that tall scrolls: its bar takes room beside it.
        const QMargins margins = columns->contentsMargins();
        return stacked +
               QSize(margins.left() + margins.right() + verticalScrollBar()->sizeHint().width(),
                     margins.top() + margins.bottom());
    }
};

// Lays a page's columns side by side where its area is wide enough for all
// of them, else one under the other: a narrow screen scrolls the page down,
// never sideways with half a column out of sight.
class ColumnsFitter : public QObject {
public:
    ColumnsFitter(QScrollArea* area, QBoxLayout* columns)
        : QObject(area), area_(area), columns_(columns) {
        area->viewport()->installEventFilter(this);
        // A column that comes to need more room (a list shown) widens the
        // window where the screen has room, else the columns stack.
        area->widget()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest && watched == area_->widget())
            makeRoom();
        if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)
            fit();
        return false;
    }

private:
    int sideBySideWidth() const {
        const QMargins margins = columns_->contentsMargins();
        int width = margins.left() + margins.right();
        int shown = 0;
        for (int i = 0; i < columns_->count(); ++i) {
            QLayoutItem* item = columns_->itemAt(i);
            if (item->isEmpty())
                continue;
            width += item->minimumSize().width();
            ++shown;
        }
        return width + std::max(0, shown - 1) * std::max(0, columns_->spacing());
    }

    // Only for columns side by side in a window on the screen: a window the
    // user made narrow keeps its columns one under the other.
    void makeRoom() {
        QWidget* window = area_->window();
        const int missing = sideBySideWidth() - area_->viewport()->width();
        if (missing > 0 && window->isVisible() && columns_->direction() == QBoxLayout::LeftToRight)
            WidenWithinScreen(window, window->width() + missing);
    }

    void fit() {
        const auto direction = area_->viewport()->width() >= sideBySideWidth()
                                   ? QBoxLayout::LeftToRight
                                   : QBoxLayout::TopToBottom;
        if (columns_->direction() != direction)
            columns_->setDirection(direction);
    }

    QScrollArea* area_;
    QBoxLayout* columns_;
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
    if (auto* columns = qobject_cast<QBoxLayout*>(page->layout());
        columns && columns->direction() == QBoxLayout::LeftToRight)
        new ColumnsFitter(area, columns);
    return area;
}

} // namespace trelmig
