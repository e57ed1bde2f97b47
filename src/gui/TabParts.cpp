#include "gui/TabParts.h"

#include "gui/ItemTexts.h"
#include "gui/Mnemonics.h"
#include "gui/ObjectNames.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

namespace trelmig {

namespace {

// Opens menu for the events of the frame it watches.
class ItemsMenuOpener : public QObject {
public:
    ItemsMenuOpener(QGroupBox* frame, QMenu* menu) : QObject(frame), frame_(frame), menu_(menu) {
        frame->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != frame_)
            return false;
        if (event->type() == QEvent::ContextMenu) {
            auto* asked = static_cast<QContextMenuEvent*>(event);
            if (asked->reason() == QContextMenuEvent::Keyboard) {
                // Below the box that has the focus, when one in the frame has it.
                QWidget* focus = QApplication::focusWidget();
                menu_->popup(focus && frame_->isAncestorOf(focus)
                                 ? focus->mapToGlobal(QPoint(0, focus->height()))
                                 : asked->globalPos());
                return true;
            }
        }
        if (event->type() == QEvent::MouseButtonPress) {
            auto* press = static_cast<QMouseEvent*>(event);
            if (press->button() == Qt::RightButton)
                menu_->popup(press->globalPosition().toPoint());
        }
        return false;
    }

private:
    QGroupBox* frame_;
    QMenu* menu_;
};

} // namespace

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

ItemBoxes MakeItemBoxes(const char* array, std::string_view CatalogueItem::*toolTip) {
    ItemBoxes boxes{};
    for (int i = 0; i < kItemCount; ++i) {
        const CatalogueItem& item = itemCatalogue()[static_cast<std::size_t>(i)];
        auto* box = new QCheckBox(ItemText(item.caption));
        box->setObjectName(QStringLiteral("%1(%2)").arg(QString::fromLatin1(array)).arg(i));
        box->setToolTip(ItemText(item.*toolTip));
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

ItemsMenu MakeItemsMenu(QGroupBox* frame, const ItemBoxes& boxes, const ItemsMenuNames& names,
                        const QString& selectAllText, const QString& deselectAllText) {
    ItemsMenu made{named(new QMenu(frame), names.menu), nullptr, nullptr};
    made.selectAll = made.menu->addAction(selectAllText);
    made.selectAll->setObjectName(QString::fromLatin1(names.selectAll));
    made.deselectAll = made.menu->addAction(deselectAllText);
    made.deselectAll->setObjectName(QString::fromLatin1(names.deselectAll));
    SetMnemonic(made.selectAll, QLatin1Char('S'));
    SetMnemonic(made.deselectAll, QLatin1Char('D'));
    QObject::connect(made.selectAll, &QAction::triggered, frame,
                     [boxes] { SelectAvailable(boxes); });
    QObject::connect(made.deselectAll, &QAction::triggered, frame, [boxes] { ClearAll(boxes); });
    new ItemsMenuOpener(frame, made.menu);
    return made;
}

} // namespace trelmig
