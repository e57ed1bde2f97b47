#pragma once

#include <QStyledItemDelegate>

#include <functional>

namespace trelmig {

// Label editing as the disc window wants it: a handler may refuse an edit
// before it begins, and the new text goes to a handler instead of straight
// into the item (the image decides whether the rename happens).
class LabelEditDelegate : public QStyledItemDelegate {
public:
    using BeginEdit = std::function<bool(const QModelIndex&)>;
    using EndEdit = std::function<void(const QModelIndex&, const QString&)>;

    LabelEditDelegate(BeginEdit begin, EndEdit end, QObject* parent)
        : QStyledItemDelegate(parent), begin_(std::move(begin)), end_(std::move(end)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    BeginEdit begin_;
    EndEdit end_;
};

} // namespace trelmig
