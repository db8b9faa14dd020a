#include "plot/StatisticsPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace plot {

StatisticsPanel::StatisticsPanel(QWidget* parent)
    : QFrame(parent),
      m_gridStats(new QTableWidget(StatisticsRowCount, StatisticsColumnCount, this)),
      m_lblStats(new QLabel(this))
{
    setObjectName(QStringLiteral("PicStats"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    m_gridStats->setObjectName(QStringLiteral("GridStats"));
    m_gridStats->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_gridStats->setSelectionMode(QAbstractItemView::NoSelection);
    m_gridStats->setFocusPolicy(Qt::NoFocus);
    m_gridStats->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gridStats->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gridStats->setHorizontalHeaderLabels({QStringLiteral("count"), QStringLiteral("min"),
                                            QStringLiteral("max"), QStringLiteral("mean"),
                                            QStringLiteral("SD")});
    m_gridStats->setVerticalHeaderLabels(
        {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("u'"), QStringLiteral("v'"),
         QStringLiteral("Ev"), QStringLiteral("Tcp"), QString::fromUtf8("\u0394uv")});
    m_gridStats->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_gridStats->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    for (int row = 0; row < StatisticsRowCount; ++row) {
        for (int column = 0; column < StatisticsColumnCount; ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_gridStats->setItem(row, column, item);
        }
    }
    m_lblStats->setObjectName(QStringLiteral("LblStats"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_gridStats);
    layout->addWidget(m_lblStats);
    fitToCells();
}

void StatisticsPanel::showStatistics(const RangeStatistics& statistics)
{
    for (int row = 0; row < StatisticsRowCount; ++row)
        for (int column = 0; column < StatisticsColumnCount; ++column)
            m_gridStats->item(row, column)
                ->setText(StatisticsCell(statistics, static_cast<StatisticsRow>(row), column));
    QStringList lines(QStringLiteral("Records: %1 plotted, not numbers: %2")
                          .arg(statistics.plotted)
                          .arg(statistics.notNumbers));
    for (const RegionShare& share : statistics.regions)
        lines << RegionShareLine(share, statistics.plotted);
    m_lblStats->setText(lines.join(QLatin1Char('\n')));
    fitToCells();
}

void StatisticsPanel::clearStatistics()
{
    for (int row = 0; row < StatisticsRowCount; ++row)
        for (int column = 0; column < StatisticsColumnCount; ++column)
            m_gridStats->item(row, column)->setText(QString());
    m_lblStats->clear();
}

void StatisticsPanel::fitToCells()
{
    m_gridStats->resizeColumnsToContents();
    const int frame = 2 * m_gridStats->frameWidth();
    m_gridStats->setFixedSize(m_gridStats->verticalHeader()->sizeHint().width() +
                                  m_gridStats->horizontalHeader()->length() + frame,
                              m_gridStats->horizontalHeader()->sizeHint().height() +
                                  m_gridStats->verticalHeader()->length() + frame);
    adjustSize();
}

} // namespace plot
