#include "gui/PrefixChooser.h"

#include "app/PrefixSummary.h"
#include "gui/ScreenFit.h"
#include "platform/WindowsPartitionFinder.h"
#include "platform/WinePrefixFinder.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

// Where an item keeps the partition of a Windows user folder (none for a prefix).
constexpr int kPartitionRole = Qt::UserRole + 1;

// An item of the list: the folder, then what it holds and where it was found.
QString Describe(const fs::path& root, const PrefixSummary& summary, const QString& origin) {
    QString what;
    if (!summary.error.empty())
        what = PrefixChooser::tr("cannot be read");
    else if (summary.profiles.empty())
        what = PrefixChooser::tr("no Outlook profile");
    else {
        QStringList names;
        for (const auto& profile : summary.profiles)
            names << QString::fromStdString(profile.name);
        what = QStringLiteral("%1: %2").arg(summary.outlook.empty()
                                                ? QStringLiteral("Outlook")
                                                : QString::fromStdString(summary.outlook),
                                            names.join(QStringLiteral(", ")));
    }
    return QStringLiteral("%1\n    %2 (%3)")
        .arg(QString::fromStdString(root.string()), what, origin);
}

} // namespace

std::vector<FoundPrefix> PrefixChooser::FindAll() {
    return FindWinePrefixes(PrefixPlaces::FromEnvironment());
}

PrefixChooser::PrefixChooser(const std::vector<FoundPrefix>& found,
                             const std::vector<FoundWindowsUser>& windowsUsers,
                             const fs::path& current, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    setObjectName(QStringLiteral("PrefixChooser"));
    setWindowTitle(tr("Open Wine Prefix or Windows User Folder"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("&Wine prefixes and Windows user folders found on this computer:"));
    layout->addWidget(label);
    prefixList_ = new QListWidget;
    prefixList_->setObjectName(QStringLiteral("lstPrefixes"));
    label->setBuddy(prefixList_);
    layout->addWidget(prefixList_, 1);

    bool currentListed = false;
    const auto chooseIfCurrent = [&](const fs::path& root) {
        std::error_code ec;
        if (!currentListed && fs::equivalent(root, current, ec)) {
            prefixList_->setCurrentRow(prefixList_->count() - 1);
            currentListed = true;
        }
    };
    for (const FoundPrefix& prefix : found) {
        AddPrefix(prefix);
        chooseIfCurrent(prefix.root);
    }
    for (const FoundWindowsUser& user : windowsUsers) {
        AddWindowsUser(user);
        chooseIfCurrent(user.userFolder);
    }
    if (!currentListed && LooksLikeWinePrefix(current)) {
        AddPrefix({current, QT_TR_NOOP("open now")});
        prefixList_->setCurrentRow(prefixList_->count() - 1);
    }

    auto* buttons = new QDialogButtonBox;
    otherFolderButton_ = buttons->addButton(tr("Other &folder..."), QDialogButtonBox::ActionRole);
    otherFolderButton_->setObjectName(QStringLiteral("cmdOther"));
    openButton_ = buttons->addButton(tr("&Open"), QDialogButtonBox::AcceptRole);
    openButton_->setObjectName(QStringLiteral("cmdOpen"));
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    openButton_->setEnabled(prefixList_->currentRow() >= 0);

    chooseFolder = [this] {
        return QFileDialog::getExistingDirectory(this, tr("Wine prefix"), QDir::homePath());
    };
    connect(prefixList_, &QListWidget::currentRowChanged, this,
            [this](int row) { openButton_->setEnabled(row >= 0); });
    connect(prefixList_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(otherFolderButton_, &QPushButton::clicked, this, &PrefixChooser::onOtherFolderClicked);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ResizeWithinScreen(this, QSize(560, 360));
}

void PrefixChooser::AddPrefix(const FoundPrefix& found) {
    auto* item = new QListWidgetItem(Describe(found.root, SummarizePrefix(WinePrefix(found.root)),
                                              PrefixChooser::tr(found.origin.c_str())),
                                     prefixList_);
    item->setData(Qt::UserRole, QString::fromStdString(found.root.string()));
}

void PrefixChooser::AddWindowsUser(const FoundWindowsUser& found) {
    const QString partition = QString::fromStdString(found.partition.string());
    auto* item =
        new QListWidgetItem(Describe(found.userFolder, SummarizeWindowsUser(found.userFolder),
                                     tr("Windows partition %1, read-only").arg(partition)),
                            prefixList_);
    item->setData(Qt::UserRole, QString::fromStdString(found.userFolder.string()));
    item->setData(kPartitionRole, partition);
}

void PrefixChooser::onOtherFolderClicked() {
    const QString folder = chooseFolder ? chooseFolder() : QString();
    if (folder.isEmpty())
        return;
    const fs::path root = folder.toStdString();
    if (!LooksLikeWinePrefix(root)) {
        prompter_.Show(tr("%1 is not a Wine prefix: it has no system.reg or user.reg beside a "
                          "drive_c folder.")
                           .arg(folder)
                           .toStdString(),
                       MessageIcon::Exclamation);
        return;
    }
    AddPrefix({root, QT_TR_NOOP("chosen folder")});
    prefixList_->setCurrentRow(prefixList_->count() - 1);
    accept();
}

std::optional<MachineSource> PrefixChooser::Chosen() const {
    const QListWidgetItem* item = prefixList_->currentItem();
    if (result() != QDialog::Accepted || !item)
        return std::nullopt;
    const fs::path root = item->data(Qt::UserRole).toString().toStdString();
    const QString partition = item->data(kPartitionRole).toString();
    if (partition.isEmpty())
        return MachineSource::Prefix(root);
    return MachineSource::WindowsUser(root, fs::path(partition.toStdString()));
}

} // namespace trelmig
