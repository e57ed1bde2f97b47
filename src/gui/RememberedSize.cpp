#include "gui/RememberedSize.h"

#include "gui/WindowMemory.h"

#include <QEvent>
#include <QWidget>

namespace trelmig {

namespace {

class SizeKeeper : public QObject {
public:
    SizeKeeper(QWidget* window, WindowMemory& memory) : QObject(window), memory_(memory) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched == parent()) {
            auto* window = static_cast<QWidget*>(watched);
            memory_.SetGeometry(window->objectName(), window->saveGeometry());
        }
        return false;
    }

private:
    WindowMemory& memory_;
};

} // namespace

void KeepWindowSize(QWidget* window, WindowMemory* memory) {
    if (!memory || window->objectName().isEmpty())
        return;
    if (const QByteArray geometry = memory->Geometry(window->objectName()); !geometry.isEmpty())
        window->restoreGeometry(geometry);
    window->installEventFilter(new SizeKeeper(window, *memory));
}

} // namespace trelmig
