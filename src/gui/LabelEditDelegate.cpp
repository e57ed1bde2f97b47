#include "gui/LabelEditDelegate.h"

#include <QLineEdit>
#include <QPersistentModelIndex>

namespace trelmig {

QWidget* LabelEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    if (index.column() != 0 || (begin_ && !begin_(index)))
        return nullptr;
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void LabelEditDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                     const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !end_)
        return;
    // After the editor has closed: the handler rebuilds the view.
    const QPersistentModelIndex edited(index);
    const QString text = line->text();
    QMetaObject::invokeMethod(
        const_cast<LabelEditDelegate*>(this),
        [this, edited, text] {
            if (edited.isValid())
                end_(edited, text);
        },
        Qt::QueuedConnection);
}

} // namespace trelmig
