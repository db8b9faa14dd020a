#pragma once

#include "plot/RangeStatistics.h"

#include <QFrame>

class QLabel;
class QTableWidget;

namespace plot {

// The statistics panel `PicStats` of the plot window: count, min, max, mean and SD of x, y, Ev,
// Tcp and delta-uv over the plotted range (`GridStats`), and below them (`LblStats`) the records
// plotted and the share of them inside each drawn region.
class StatisticsPanel : public QFrame
{
    Q_OBJECT
public:
    explicit StatisticsPanel(QWidget* parent);

    void showStatistics(const RangeStatistics& statistics);
    // Nothing shown: the records it counted are gone.
    void clearStatistics();

private:
    // The table as large as its cells, without scrolling.
    void fitToCells();

    QTableWidget* m_gridStats;
    QLabel* m_lblStats;
};

} // namespace plot
