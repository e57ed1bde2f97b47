#include "gui/GuiMain.h"

#include "app/Environment.h"
#include "gui/Frmsplash.h"
#include "gui/GuiInstanceLock.h"
#include "gui/GuiMessageBoxPrompter.h"
#include "gui/frmMain.h"

#include <QApplication>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>

namespace trelmig {

int runGui(int argc, char** argv, const std::optional<std::filesystem::path>& prefix) {
    // Without a display Qt aborts; say what to do instead.
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM")) {
        std::cerr << "trelmig: there is no display for the main window; see trelmig --help "
                     "for what runs without one\n";
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trelmig"));
    QApplication::setDesktopFileName(QStringLiteral("trelmig"));

    GuiMessageBoxPrompter prompter;
    const WinePrefix winePrefix = WinePrefix::locate(prefix);
    GuiInstanceLock lock(winePrefix.root());
    if (!lock.TryLock()) {
        prompter.Show("Quenvar Outlook Backup is already open for the Wine prefix " +
                          winePrefix.root().string() + ".",
                      MessageIcon::Information);
        return 1;
    }
    std::unique_ptr<Environment> env;
    try {
        env = std::make_unique<Environment>(winePrefix, prompter);
    } catch (const std::exception& e) {
        prompter.Show(e.what(), MessageIcon::Critical);
        return 1;
    }

    std::unique_ptr<frmMain> main;
    Frmsplash splash([&]() -> QWidget* {
        main = std::make_unique<frmMain>(*env, prompter);
        prompter.SetParentWindow(main.get());
        return main.get();
    });
    splash.Form_Load();
    return app.exec();
}

} // namespace trelmig
