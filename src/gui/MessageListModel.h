#pragma once

#include "mailstore/MailStore.h"

#include <QAbstractTableModel>

#include <vector>

namespace trelmig {

// The messages of a folder or of a search, as the look-inside window lists
// them: one row per message, filled in batches as they are read. Qt::UserRole
// gives each column's value to sort by (the time, the size, the number of
// attachments as numbers; the texts without regard to case).
class MessageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Date, Sender, Recipients, Subject, Size, Attachments, ColumnCount };

    explicit MessageListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Clear();
    void Append(std::vector<MessageSummary> batch);
    const MessageSummary& at(int row) const { return messages_[static_cast<std::size_t>(row)]; }

private:
    std::vector<MessageSummary> messages_;
};

} // namespace trelmig
