#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace logger {

// The set list `GridSet`: two columns, row 0 the header ("Set", "  Start Time  "), then one
// row per listed set. A second listing appends below the first.
class SetListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit SetListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The text of a cell; empty outside the grid.
    QString cellText(int row, int column) const;
    // Rows for sets 1 to n, each with its start time as shown.
    void appendSets(const std::vector<QString>& startTimes);
    // Back to the header row alone.
    void clear();

private:
    struct Row
    {
        QString number;
        QString startTime;
    };
    std::vector<Row> m_rows;
};

} // namespace logger
