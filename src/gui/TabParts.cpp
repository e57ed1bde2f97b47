#include "gui/TabParts.h"

#include "gui/ItemTexts.h"
#include "gui/Mnemonics.h"
#include "gui/ObjectNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace trelmig {

QLabel* Caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

QComboBox* ProfileBox(const char* name) {
    auto* box = named(new QComboBox, name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(14);
    QObject::connect(box, &QComboBox::currentTextChanged, box, &QWidget::setToolTip);
    return box;
}

ItemBoxes MakeItemBoxes(const char* array) {
    ItemBoxes boxes{};
    for (int i = 0; i < kItemCount; ++i) {
        const CatalogueItem& item = itemCatalogue()[static_cast<std::size_t>(i)];
        auto* box = new QCheckBox(ItemText(item.caption));
        box->setObjectName(QStringLiteral("%1(%2)").arg(QString::fromLatin1(array)).arg(i));
        boxes[static_cast<std::size_t>(i)] = box;
    }
    return boxes;
}

void SelectAvailable(const ItemBoxes& boxes) {
    for (QCheckBox* box : boxes)
        box->setChecked(box->isEnabled());
}

void ClearAll(const ItemBoxes& boxes) {
    for (QCheckBox* box : boxes)
        box->setChecked(false);
}

ItemSelection Checked(const ItemBoxes& boxes) {
    ItemSelection selection{};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        selection[i] = boxes[i]->isChecked();
    return selection;
}

void GiveItemMnemonics(const ItemBoxes& boxes) {
    const QChar letters[kItemCount] = {QLatin1Char('l'), QLatin1Char('g'), QLatin1Char('i'),
                                       QLatin1Char('e'), QLatin1Char('k'), QLatin1Char('n'),
                                       QLatin1Char('m'), QLatin1Char('z')};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        SetMnemonic(boxes[i], letters[i]);
}

} // namespace trelmig
