// File > "Open Wine Prefix..." and File > "Open Windows User Folder...".
#include "gui/MainWindow.h"

#include "app/Environment.h"
#include "gui/PrefixChooser.h"
#include "gui/RememberedSize.h"
#include "gui/WindowsUserFolder.h"
#include "platform/RememberedPrefix.h"
#include "platform/WindowsPartitionFinder.h"
#include "platform/WinePrefixFinder.h"

#include <stdexcept>

namespace trelmig {

std::optional<MachineSource> ChooseWinePrefix(MainWindow& window) {
    PrefixChooser chooser(PrefixChooser::FindAll(), FindWindowsUsers(WindowsMountPlaces()),
                          window.env().prefix.root(), window.prompter(), &window);
    KeepWindowSize(&chooser, window.memory());
    chooser.exec();
    return chooser.Chosen();
}

void MainWindow::onOpenPrefixTriggered() {
    if (RefuseWhileBusy() || !choosePrefix)
        return;
    if (const auto chosen = choosePrefix())
        openChosen(*chosen);
}

void MainWindow::onOpenWindowsUserTriggered() {
    if (RefuseWhileBusy())
        return;
    if (const auto folder = AskWindowsUserFolder(this))
        openChosen(MachineSource::WindowsUser(*folder));
}

void MainWindow::openChosen(const MachineSource& chosen) {
    const std::filesystem::path& folder = chosen.windowsUser ? *chosen.windowsUser
                                          : chosen.prefix    ? *chosen.prefix
                                                             : env_.prefix.root();
    std::error_code ec;
    if (std::filesystem::equivalent(folder, env_.prefix.root(), ec))
        return; // the window shows it already
    // A Windows user folder is read for this start only, never remembered.
    MachineSource opened = chosen;
    if (!chosen.windowsUser) {
        std::filesystem::path root = std::filesystem::absolute(folder, ec);
        if (ec)
            root = folder;
        opened.prefix = root;
        // The next start without --prefix or $WINEPREFIX opens it again.
        try {
            SaveRememberedPrefix(root);
        } catch (const std::runtime_error& e) {
            prompter_.Show(
                std::string("The Wine prefix is opened, but it will not be remembered: ") +
                    e.what(),
                MessageIcon::Exclamation);
        }
    }
    if (openMachine)
        openMachine(opened);
}

} // namespace trelmig
