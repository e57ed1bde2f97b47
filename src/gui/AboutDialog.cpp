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

QLabel* label(const QString& text, const char* name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(tr("About Quenvar Outlook Backup"));
    setModal(true);

    Picture1 = label(QString(), "Picture1", this);
    const QIcon logo(FindDataFile(QStringLiteral("icons/trelmig.svg")));
    Picture1->setPixmap(logo.pixmap(QSize(64, 64), devicePixelRatio()));
    Picture1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    SkinLabel2 = label(tr("Quenvar Outlook Backup v2.60"), "SkinLabel2", this);
    SkinLabel1 = label(tr("Thank you for using our product."), "SkinLabel1", this);
    // No web site or mail address of the maker is shown: there is none to
    // give, and a made-up one would send people nowhere.
    SkinLabel7 = label(tr("Copyright © %1. Free software under the GNU GPL, version 3 or later.")
                           .arg(QString::fromLatin1(kMakerName)),
                       "SkinLabel7", this);
    SkinLabel7->setWordWrap(true);
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Command3 = new QPushButton(tr("&Close"), this);
    Command3->setObjectName(QStringLiteral("Command3"));

    auto* text = new QVBoxLayout;
    text->addWidget(SkinLabel2);
    text->addWidget(SkinLabel1);

    auto* top = new QHBoxLayout;
    top->addWidget(Picture1);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(SkinLabel7, 1);
    bottom->addWidget(Command3, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Line1);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command3, &QPushButton::clicked, this, &AboutDialog::onExitClicked);
    ApplySkin(this);
}

void AboutDialog::onExitClicked() {
    // Back to the main window, which stays open behind the box.
    accept();
}

} // namespace trelmig
