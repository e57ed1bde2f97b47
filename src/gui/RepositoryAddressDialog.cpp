#include "gui/RepositoryAddressDialog.h"

#include "gui/Mnemonics.h"
#include "gui/ObjectNames.h"
#include "gui/Skin.h"
#include "gui/TabParts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace trelmig {

RepositoryAddressDialog::RepositoryAddressDialog(
    const QString& address, std::function<QString(const FileDialogRequest&)> chooseFolder,
    QWidget* parent)
    : QDialog(parent), chooseFolder_(std::move(chooseFolder)) {
    setObjectName(QStringLiteral("frmOpenRepository"));
    setWindowTitle(tr("Open Repository"));
    addressEdit_ = named(new QLineEdit(address), "txtRepository");
    addressEdit_->setPlaceholderText(tr("A folder, or ssh://user@host/path"));
    addressEdit_->setMinimumWidth(addressEdit_->fontMetrics().averageCharWidth() * 48);
    browseButton_ = named(new QPushButton(tr("Browse...")), "cmdRepositoryFolder");
    QLabel* caption = Caption(tr("Repository folder or address"), addressEdit_);
    SetMnemonic(caption, QLatin1Char('R'));
    SetMnemonic(browseButton_, QLatin1Char('w'));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    okButton_->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    auto* row = new QHBoxLayout;
    row->addWidget(addressEdit_, 1);
    row->addWidget(browseButton_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(caption);
    column->addLayout(row);
    column->addWidget(buttons);
    okButton_->setEnabled(!address.trimmed().isEmpty());
    connect(addressEdit_, &QLineEdit::textChanged, this,
            [this](const QString& typed) { okButton_->setEnabled(!typed.trimmed().isEmpty()); });
    connect(browseButton_, &QPushButton::clicked, this, &RepositoryAddressDialog::onBrowseClicked);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ApplySkin(this);
}

QString RepositoryAddressDialog::address() const {
    return addressEdit_->text().trimmed();
}

void RepositoryAddressDialog::onBrowseClicked() {
    FileDialogRequest request;
    request.dialogName = QStringLiteral("cdSourceRepository");
    request.title = tr("Choose the Repository Folder");
    request.folder = true;
    if (const QString folder = chooseFolder_ ? chooseFolder_(request) : QString();
        !folder.isEmpty())
        addressEdit_->setText(folder);
}

} // namespace trelmig
