#pragma once

// Driving the windows in tests: one QApplication (offscreen when there is no
// display), clicks on a check box's indicator, key presses, and an answerer
// for modal windows that a handler opens and waits on.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMap>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <stdexcept>

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

// The control of `window` with the object name the skin selects it by. A
// window's controls are its own; tests reach them only this way. Throws
// (failing the test) when there is none.
template <typename W> W* control(const QObject* window, const QString& name) {
    W* found = window->findChild<W*>(name);
    if (!found)
        throw std::logic_error("no control named " + name.toStdString());
    return found;
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

// A control's text as the user reads it (without the "&" of its mnemonic).
inline QString shownText(QString text) {
    return text.remove(QLatin1Char('&'));
}

// The problems of the mnemonics of the visible controls of a window: a push
// button or a label naming a control without one, and a letter used twice.
inline QStringList mnemonicProblems(QWidget* window) {
    QStringList problems;
    QMap<QChar, QString> used;
    auto take = [&](const QString& text, bool required) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        if (at < 0 || at + 1 >= text.size()) {
            if (required)
                problems << QStringLiteral("no mnemonic: ") + text;
            return;
        }
        const QChar letter = text.at(at + 1).toLower();
        if (used.contains(letter))
            problems << QStringLiteral("'%1' in \"%2\" and \"%3\"").arg(letter, used[letter], text);
        used[letter] = text;
    };
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (button->isVisibleTo(window) && !button->text().isEmpty())
            take(button->text(), qobject_cast<QPushButton*>(button) != nullptr);
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->isVisibleTo(window) && label->buddy())
            take(label->text(), true);
    for (QMenuBar* bar : window->findChildren<QMenuBar*>())
        for (QAction* menu : bar->actions())
            take(menu->text(), true);
    return problems;
}
