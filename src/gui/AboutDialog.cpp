#include "gui/AboutDialog.h"

#include "gui/DataFiles.h"
#include "gui/Help.h"
#include "gui/Skin.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace trelmig {

namespace {

QLabel* NamedLabel(const QString& text, const char* name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(tr("About Quenvar Outlook Backup"));
    setModal(true);

    logoLabel_ = NamedLabel(QString(), "Picture1", this);
    const QIcon logo(FindDataFile(QStringLiteral("icons/trelmig.svg")));
    logoLabel_->setPixmap(logo.pixmap(QSize(64, 64), devicePixelRatio()));
    logoLabel_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    productLabel_ = NamedLabel(tr("Quenvar Outlook Backup v2.60"), "SkinLabel2", this);
    thanksLabel_ = NamedLabel(tr("Thank you for using our product."), "SkinLabel1", this);
    // No web site or mail address of the maker is shown: there is none to
    // give, and a made-up one would send people nowhere.
    copyrightLabel_ =
        NamedLabel(tr("Copyright © %1. Free software under the GNU GPL, version 3 or later.")
                       .arg(QString::fromLatin1(kMakerName)),
                   "SkinLabel7", this);
    copyrightLabel_->setWordWrap(true);
    separatorLine_ = new QFrame(this);
    separatorLine_->setObjectName(QStringLiteral("Line1"));
    separatorLine_->setFrameShape(QFrame::HLine);
    separatorLine_->setFrameShadow(QFrame::Sunken);
    closeButton_ = new QPushButton(tr("&Close"), this);
    closeButton_->setObjectName(QStringLiteral("Command3"));

    auto* text = new QVBoxLayout;
    text->addWidget(productLabel_);
    text->addWidget(thanksLabel_);

    auto* top = new QHBoxLayout;
    top->addWidget(logoLabel_);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(copyrightLabel_, 1);
    bottom->addWidget(closeButton_, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(separatorLine_);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(closeButton_, &QPushButton::clicked, this, &AboutDialog::onCloseClicked);
    ApplySkin(this);
}

void AboutDialog::onCloseClicked() {
    // Back to the main window, which stays open behind the box.
    accept();
}

} // namespace trelmig
