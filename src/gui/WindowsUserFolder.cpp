#include "gui/WindowsUserFolder.h"

#include "platform/WindowsPartitionFinder.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace trelmig {

std::optional<std::filesystem::path> AskWindowsUserFolder(QWidget* parent) {
    const auto found = FindWindowsUsers(WindowsMountPlaces());
    const QString start =
        found.empty() ? QString() : QString::fromStdString(found.front().userFolder.string());
    const QString chosen = QFileDialog::getExistingDirectory(
        parent, QCoreApplication::translate("WindowsUserFolder", "Open Windows User Folder"),
        start);
    if (chosen.isEmpty())
        return std::nullopt;
    return std::filesystem::path(chosen.toStdString());
}

} // namespace trelmig
