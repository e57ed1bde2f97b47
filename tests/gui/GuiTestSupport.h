#pragma once

// Driving the windows in tests: one QApplication (offscreen when there is no
// display), clicks on a check box's indicator, key presses, and an answerer
// for modal windows that a handler opens and waits on.

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include <cstdlib>
#include <functional>

inline QApplication& guiApp() {
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
            !std::getenv("WAYLAND_DISPLAY"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *app;
}

inline void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& at,
                      Qt::MouseButton button) {
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    QMouseEvent event(type, local, global, button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Left click in the middle of the box's indicator, as a user clicks it.
inline void clickCheckBox(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    option.state |= box->isChecked() ? QStyle::State_On : QStyle::State_Off;
    const QRect indicator =
        box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    sendMouse(box, QEvent::MouseButtonPress, indicator.center(), Qt::LeftButton);
    sendMouse(box, QEvent::MouseButtonRelease, indicator.center(), Qt::LeftButton);
}

inline void pressKey(QWidget* widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

inline void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text)
        pressKey(widget, c.toUpper().unicode(), QString(c));
}

// Polls for a modal window while the code under test waits in it, and hands
// it to `act` (which closes it). Stops when act returns true.
class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<bool(QWidget*)> act) : act_(std::move(act)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget())
                if (act_(modal)) {
                    ++answered_;
                    if (!repeat_)
                        timer_.stop();
                }
        });
        timer_.start(10);
    }
    // Keep answering every modal window that comes.
    void repeat() { repeat_ = true; }
    int answered() const { return answered_; }

private:
    std::function<bool(QWidget*)> act_;
    QTimer timer_;
    int answered_ = 0;
    bool repeat_ = false;
};
