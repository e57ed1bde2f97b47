// File > "Open Wine Prefix...".
#include "gui/MainWindow.h"

#include "app/Environment.h"
#include "gui/PrefixChooser.h"
#include "gui/RememberedSize.h"
#include "platform/RememberedPrefix.h"
#include "platform/WinePrefixFinder.h"

#include <stdexcept>

namespace trelmig {

std::optional<std::filesystem::path> ChooseWinePrefix(MainWindow& window) {
    PrefixChooser chooser(PrefixChooser::FindAll(), window.env().prefix.root(), window.prompter(),
                          &window);
    KeepWindowSize(&chooser, window.memory());
    chooser.exec();
    return chooser.Chosen();
}

void MainWindow::onOpenPrefixTriggered() {
    if (RefuseWhileBusy() || !choosePrefix)
        return;
    const auto chosen = choosePrefix();
    if (!chosen)
        return;
    std::error_code ec;
    if (std::filesystem::equivalent(*chosen, env_.prefix.root(), ec))
        return; // the window shows it already
    std::filesystem::path root = std::filesystem::absolute(*chosen, ec);
    if (ec)
        root = *chosen;
    // The next start without --prefix or $WINEPREFIX opens it again.
    try {
        SaveRememberedPrefix(root);
    } catch (const std::runtime_error& e) {
        prompter_.Show(std::string("The Wine prefix is opened, but it will not be remembered: ") +
                           e.what(),
                       MessageIcon::Exclamation);
    }
    if (openPrefix)
        openPrefix(root);
}

} // namespace trelmig
