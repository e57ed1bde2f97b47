#pragma once

#include <QApplication>

// The one QApplication of the test binary, drawing offscreen when there is
// no display (test discovery runs without the test environment).
inline QApplication& qtTestApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "schedule_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}
