#include "gui/AboutDialog.h"

#include "gui/DataFiles.h"
#include "gui/Help.h"
#include "gui/Skin.h"

#include <QFrame>
#include <QGridLayout>
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
    setWindowTitle(QStringLiteral("About Quenvar Outlook Backup"));
    setModal(true);

    Picture1 = label(QString(), "Picture1", this);
    const QIcon logo(FindDataFile(QStringLiteral("icons/trelmig.svg")));
    Picture1->setPixmap(logo.pixmap(QSize(64, 64), devicePixelRatio()));
    Picture1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    SkinLabel2 = label(QStringLiteral("Quenvar Outlook Backup v2.60"), "SkinLabel2", this);
    SkinLabel1 = label(QStringLiteral("Thank you for using our product."), "SkinLabel1", this);
    SkinLabel3 = label(QStringLiteral("Visit Our Website"), "SkinLabel3", this);
    const QString site = QString::fromLatin1(kMakerWebSite);
    SkinLabel4 = label(QStringLiteral("<a href=\"%1\">%1</a>").arg(site), "SkinLabel4", this);
    SkinLabel4->setTextFormat(Qt::RichText);
    SkinLabel4->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    SkinLabel4->setCursor(Qt::PointingHandCursor);
    SkinLabel5 = label(QStringLiteral("Our E-mail"), "SkinLabel5", this);
    SkinLabel6 = label(QString::fromLatin1(kMakerEmail), "SkinLabel6", this);
    SkinLabel6->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SkinLabel7 = label(QStringLiteral("Copyright \u00a9 %1. Free software under the GNU GPL, "
                                      "version 3 or later.")
                           .arg(QString::fromLatin1(kMakerName)),
                       "SkinLabel7", this);
    SkinLabel7->setWordWrap(true);
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Command3 = new QPushButton(QStringLiteral("E&xit"), this);
    Command3->setObjectName(QStringLiteral("Command3"));

    auto* facts = new QGridLayout;
    facts->addWidget(SkinLabel3, 0, 0);
    facts->addWidget(SkinLabel4, 0, 1);
    facts->addWidget(SkinLabel5, 1, 0);
    facts->addWidget(SkinLabel6, 1, 1);
    facts->setColumnStretch(1, 1);
    facts->setHorizontalSpacing(16);

    auto* text = new QVBoxLayout;
    text->addWidget(SkinLabel2);
    text->addWidget(SkinLabel1);
    text->addSpacing(8);
    text->addLayout(facts);

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

    connect(SkinLabel4, &QLabel::linkActivated, this, &AboutDialog::onWebsiteLinkActivated);
    connect(Command3, &QPushButton::clicked, this, &AboutDialog::onExitClicked);
    ApplySkin(this);
}

void AboutDialog::onWebsiteLinkActivated() {
    OpenDocument(QString::fromLatin1(kMakerWebSite));
}

void AboutDialog::onExitClicked() {
    // Back to the main window, which stays open behind the box.
    accept();
}

} // namespace trelmig
