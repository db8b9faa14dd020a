#include "logger/SetListModel.h"

#include <QFont>

namespace logger {

namespace {
const QString HeaderSet = QStringLiteral("Set");
const QString HeaderStart = QStringLiteral("  Start Time  ");
} // namespace

SetListModel::SetListModel(QObject* parent) : QAbstractTableModel(parent)
{
    m_rows.push_back({HeaderSet, HeaderStart});
}

int SetListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SetListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant SetListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::FontRole && index.row() == 0) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignCenter);
    return {};
}

QString SetListModel::cellText(int row, int column) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return {};
    const Row& r = m_rows[static_cast<std::size_t>(row)];
    return column == 0 ? r.number : column == 1 ? r.startTime : QString();
}

void SetListModel::appendSets(const std::vector<QString>& startTimes)
{
    if (startTimes.empty())
        return;
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(startTimes.size()) - 1);
    int number = 0;
    for (const QString& time : startTimes)
        m_rows.push_back({QString::number(++number), time});
    endInsertRows();
}

void SetListModel::clear()
{
    beginResetModel();
    m_rows.resize(1);
    endResetModel();
}

} // namespace logger
