#pragma once

#include "app/MachineSource.h"
#include "core/Prompter.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

class QListWidget;
class QPushButton;

namespace trelmig {

struct FoundPrefix;
struct FoundWindowsUser;

// File > "Open Wine Prefix...": the Wine prefixes found on this machine, each
// with its Outlook and profiles, the user folders of mounted Windows
// partitions (opened read-only), and "Other folder..." for any other prefix.
// The current prefix or user folder is chosen when the dialog opens.
class PrefixChooser : public QDialog {
    Q_OBJECT
public:
    PrefixChooser(const std::vector<FoundPrefix>& found,
                  const std::vector<FoundWindowsUser>& windowsUsers,
                  const std::filesystem::path& current, Prompter& prompter,
                  QWidget* parent = nullptr);

    // The folder "Other folder..." asks for; empty when cancelled. Tests
    // replace it.
    std::function<QString()> chooseFolder;

    // The chosen prefix or Windows user folder once the dialog was accepted.
    std::optional<MachineSource> Chosen() const;

    // The prefixes found on this machine, for the window to list.
    static std::vector<FoundPrefix> FindAll();

private:
    void AddPrefix(const FoundPrefix& found);
    void AddWindowsUser(const FoundWindowsUser& found);
    void onOtherFolderClicked();

    QListWidget* prefixList_;
    QPushButton* otherFolderButton_;
    QPushButton* openButton_;

    Prompter& prompter_;
};

class MainWindow;
// Shows the chooser over the window, on the prefixes and Windows user folders
// found and the window's own; the chosen one, nullopt when cancelled.
std::optional<MachineSource> ChooseWinePrefix(MainWindow& window);

} // namespace trelmig
