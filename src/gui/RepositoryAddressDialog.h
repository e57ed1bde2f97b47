#pragma once

#include "gui/FileDialogRequest.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace trelmig {

// "Open Repository...": asks where the repository is, a folder chosen with
// "Browse..." or an ssh:// address typed. The passphrase is asked after it.
class RepositoryAddressDialog : public QDialog {
    Q_OBJECT
public:
    // chooseFolder shows the folder dialog; empty when cancelled.
    RepositoryAddressDialog(const QString& address,
                            std::function<QString(const FileDialogRequest&)> chooseFolder,
                            QWidget* parent = nullptr);
    QString address() const;

private:
    void onBrowseClicked();

    std::function<QString(const FileDialogRequest&)> chooseFolder_;
    QLineEdit* addressEdit_;
    QPushButton* browseButton_;
    QPushButton* okButton_;
};

} // namespace trelmig
