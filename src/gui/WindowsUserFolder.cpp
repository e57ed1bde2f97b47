#include "gui/WindowsUserFolder.h"

#include "gui/MainWindow.h"
#include "platform/WindowsPartitionFinder.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QProcess>

namespace trelmig {

void OpenWindowsUserFolder(MainWindow& window) {
    const auto found = FindWindowsUsers(WindowsMountPlaces());
    const QString start =
        found.empty() ? QString() : QString::fromStdString(found.front().userFolder.string());
    const QString chosen = QFileDialog::getExistingDirectory(
        &window, QStringLiteral("Open Windows User Folder"), start);
    if (chosen.isEmpty())
        return;
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                 {QStringLiteral("--windows-user"), chosen})) {
        window.prompter().Show("The program could not be started for the Windows user folder " +
                                   chosen.toStdString() + ".",
                               MessageIcon::Critical);
        return;
    }
    window.onQuitClicked();
}

} // namespace trelmig
