#pragma once

#include <QWidget>

#include <functional>

namespace trelmig {

// The start window: applies the skin to the program, shows the main window
// made by makeMain and unloads itself. It never stays long enough to be seen.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(std::function<QWidget*()> makeMain);

    void ShowMainWindow();
    // The main window shown by ShowMainWindow.
    QWidget* ShownWindow() const { return main_; }

private:
    std::function<QWidget*()> makeMain_;
    QWidget* main_ = nullptr;
};

} // namespace trelmig
