#pragma once

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

// File > "Open Wine Prefix...": the Wine prefixes found on this machine, each
// with its Outlook and profiles, and "Other folder..." for any other. The
// current prefix is chosen when the dialog opens.
class PrefixChooser : public QDialog {
    Q_OBJECT
public:
    PrefixChooser(const std::vector<FoundPrefix>& found, const std::filesystem::path& current,
                  Prompter& prompter, QWidget* parent = nullptr);

    // The folder "Other folder..." asks for; empty when cancelled. Tests
    // replace it.
    std::function<QString()> chooseFolder;

    // The chosen prefix once the dialog was accepted.
    std::optional<std::filesystem::path> Chosen() const;

    // The prefixes found on this machine, for the window to list.
    static std::vector<FoundPrefix> FindAll();

private:
    void addPrefix(const FoundPrefix& found);
    void onOtherFolderClicked();

    QListWidget* lstPrefixes;
    QPushButton* cmdOther;
    QPushButton* cmdOpen;

    Prompter& prompter_;
};

class MainWindow;
// Shows the chooser over the window, on the prefixes found and the window's
// own; the chosen prefix, nullopt when cancelled.
std::optional<std::filesystem::path> ChooseWinePrefix(MainWindow& window);

} // namespace trelmig
