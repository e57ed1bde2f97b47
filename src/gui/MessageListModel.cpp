#include "gui/MessageListModel.h"

#include <QDateTime>
#include <QLocale>

namespace trelmig {

namespace {

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString attachmentsText(const std::vector<std::string>& names) {
    QStringList shown;
    for (const std::string& name : names)
        shown << text(name);
    return shown.join(QStringLiteral(", "));
}

} // namespace

MessageListModel::MessageListModel(QObject* parent) : QAbstractTableModel(parent) {}

int MessageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(messages_.size());
}

int MessageListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const MessageSummary& m = at(index.row());
    if (role == Qt::UserRole) {
        switch (index.column()) {
        case Date:
            return QVariant::fromValue<qlonglong>(m.time.value_or(0));
        case Sender:
            return text(m.sender).toCaseFolded();
        case Recipients:
            return text(m.recipients).toCaseFolded();
        case Subject:
            return text(m.subject).toCaseFolded();
        case Size:
            return QVariant::fromValue<qulonglong>(m.size);
        case Attachments:
            return QVariant::fromValue<qulonglong>(m.attachmentNames.size());
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == Size)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == Attachments)
        return attachmentsText(m.attachmentNames);
    if (role != Qt::DisplayRole)
        return {};
    const QLocale locale;
    switch (index.column()) {
    case Date:
        return m.time ? locale.toString(QDateTime::fromSecsSinceEpoch(*m.time).toLocalTime(),
                                        QLocale::ShortFormat)
                      : QString();
    case Sender:
        return text(m.sender);
    case Recipients:
        return text(m.recipients);
    case Subject:
        return text(m.subject);
    case Size:
        return locale.formattedDataSize(static_cast<qint64>(m.size));
    case Attachments:
        return attachmentsText(m.attachmentNames);
    default:
        return {};
    }
}

QVariant MessageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Date:
        return tr("Date");
    case Sender:
        return tr("From");
    case Recipients:
        return tr("To");
    case Subject:
        return tr("Subject");
    case Size:
        return tr("Size");
    case Attachments:
        return tr("Attachments");
    default:
        return {};
    }
}

void MessageListModel::Clear() {
    beginResetModel();
    messages_.clear();
    endResetModel();
}

void MessageListModel::Append(std::vector<MessageSummary> batch) {
    if (batch.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(batch.size()) - 1);
    messages_.insert(messages_.end(), std::make_move_iterator(batch.begin()),
                     std::make_move_iterator(batch.end()));
    endInsertRows();
}

} // namespace trelmig
