#include "panel/ReadingsWindow.h"

#include "files/CsvWriter.h"
#include "panel/ReadingsModel.h"
#include "ui/Clock.h"
#include "ui/SavePath.h"
#include "ui/WindowPlace.h"
#include "ui/WorkingFiles.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace panel {

namespace {

// Widest texts a column shows, so that the columns need no measuring of the rows.
QString widestText(int column)
{
    switch (column) {
    case TimeColumn:
        return QStringLiteral("0000-00-00 00:00:00");
    case ModeColumn:
        return QStringLiteral("00 Ev u'' v''");
    case WavelengthColumn:
        return QStringLiteral("Wavelength (nm)");
    default:
        return QStringLiteral("-00000.000");
    }
}

void setUpGrid(QTableView* grid, const QString& name)
{
    grid->setObjectName(name);
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    const QFontMetrics metrics(grid->font());
    grid->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int c = 0; c < ReadingColumnCount; ++c)
        grid->setColumnWidth(c, metrics.horizontalAdvance(widestText(c)) + 16);
}

} // namespace

ReadingsWindow::ReadingsWindow(ui::Dialogs& dialogs, const ui::Clock& clock, QWidget* placeNextTo)
    : QWidget(placeNextTo, Qt::Window), m_dialogs(dialogs), m_clock(clock),
      m_placeNextTo(placeNextTo), m_readings(new ReadingsModel(this)),
      m_statistics(new ReadingStatisticsModel(*m_readings, this)), m_gridReadings(new QTableView),
      m_gridStatistics(new QTableView), m_cmdPause(new QPushButton(QStringLiteral("Pause"))),
      m_cmdClear(new QPushButton(QStringLiteral("Clear"))),
      m_cmdCopy(new QPushButton(QStringLiteral("Copy"))),
      m_cmdExport(new QPushButton(QStringLiteral("Export..."))), m_lblCount(new QLabel)
{
    setObjectName(QStringLiteral("List"));
    setWindowTitle(QStringLiteral("List"));
    m_cmdPause->setObjectName(QStringLiteral("CmdPause"));
    m_cmdClear->setObjectName(QStringLiteral("CmdClear"));
    m_cmdCopy->setObjectName(QStringLiteral("CmdCopy"));
    m_cmdExport->setObjectName(QStringLiteral("CmdExport"));
    m_lblCount->setObjectName(QStringLiteral("LblCount"));
    m_readings->setDecimalSeparator(QLocale().decimalPoint().at(0));

    m_gridReadings->setModel(m_readings);
    setUpGrid(m_gridReadings, QStringLiteral("GridReadings"));
    m_gridReadings->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_gridReadings->installEventFilter(this);

    // The statistics line up under the columns of the readings and scroll sideways with them.
    m_gridStatistics->setModel(m_statistics);
    setUpGrid(m_gridStatistics, QStringLiteral("GridStatistics"));
    m_gridStatistics->horizontalHeader()->hide();
    m_gridStatistics->setSelectionMode(QAbstractItemView::NoSelection);
    m_gridStatistics->setFocusPolicy(Qt::NoFocus);
    m_gridStatistics->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gridStatistics->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gridStatistics->setFixedHeight(StatisticsRowCount *
                                         m_gridStatistics->verticalHeader()->defaultSectionSize() +
                                     2 * m_gridStatistics->frameWidth());
    connect(
        m_gridReadings->horizontalHeader(), &QHeaderView::sectionResized, m_gridStatistics,
        [this](int column, int, int width) { m_gridStatistics->setColumnWidth(column, width); });
    connect(m_gridReadings->horizontalScrollBar(), &QScrollBar::valueChanged,
            m_gridStatistics->horizontalScrollBar(), &QScrollBar::setValue);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_cmdPause, m_cmdClear, m_cmdCopy, m_cmdExport})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(m_lblCount);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_gridReadings, 1);
    layout->addWidget(m_gridStatistics);
    resize(900, 480);

    connect(m_cmdPause, &QPushButton::clicked, this, &ReadingsWindow::togglePause);
    connect(m_cmdClear, &QPushButton::clicked, this, &ReadingsWindow::clearReadings);
    connect(m_cmdCopy, &QPushButton::clicked, this, &ReadingsWindow::copySelection);
    connect(m_cmdExport, &QPushButton::clicked, this, &ReadingsWindow::exportCsv);
    showCount();
}

void ReadingsWindow::showBeside()
{
    if (isHidden()) {
        if (m_placeNextTo) {
            const QRect main = m_placeNextTo->frameGeometry();
            ui::PlaceRemembered(*this, QStringLiteral("List"),
                                QPoint(main.x() + main.width(), main.y()), *m_placeNextTo);
        }
        show();
        m_gridReadings->scrollToBottom();
    }
    raise();
    activateWindow();
}

void ReadingsWindow::addFrame(const meterlink::FrameFields& f)
{
    if (m_paused || f.setUp)
        return;
    QScrollBar* bar = m_gridReadings->verticalScrollBar();
    const int top = bar->value();
    const bool follow = top == bar->maximum();
    const bool dropsOldest = m_readings->full();
    m_readings->append(f, m_clock.now());
    if (follow)
        m_gridReadings->scrollToBottom();
    else if (dropsOldest && top > 0)
        bar->setValue(top - 1); // the rows the user looks at stay where they are
    showCount();
}

bool ReadingsWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The view's own copy takes only the current cell.
    if (watched == m_gridReadings && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copySelection();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ReadingsWindow::togglePause()
{
    m_paused = !m_paused;
    m_cmdPause->setText(m_paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    showCount();
}

void ReadingsWindow::clearReadings()
{
    if (m_readings->rowCount() > 0 &&
        m_dialogs.message(QStringLiteral("Clear all readings from the list?"),
                          ui::MsgButtons::OkCancel, ui::MsgIcon::Question) != ui::MsgAnswer::Ok)
        return;
    m_readings->clear();
    showCount();
}

void ReadingsWindow::copySelection()
{
    QModelIndexList cells = m_gridReadings->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        for (int r = 0; r < m_readings->rowCount(); ++r)
            for (int c = 0; c < ReadingColumnCount; ++c)
                cells << m_readings->index(r, c);
    QGuiApplication::clipboard()->setText(m_readings->tsv(cells));
}

void ReadingsWindow::exportCsv()
{
    const auto path = ui::AskSavePath(
        m_dialogs, m_exportDialog, QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*|"),
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("Readings.csv")),
        ui::FileKind::Csv);
    if (!path)
        return;
    // Written aside and renamed, so a failed write leaves any earlier file whole.
    QString reason;
    const auto write = [this](QIODevice& file, QString&) {
        files::CsvWriter out(file);
        return m_readings->writeCsv(out);
    };
    if (ui::Save(*path, write, std::nullopt, reason) != ui::SaveOutcome::Saved)
        ui::ShowNotWritten(m_dialogs, QStringLiteral("The readings"), *path, reason);
}

void ReadingsWindow::showCount()
{
    QString text = QStringLiteral("Readings: %1").arg(m_readings->rowCount());
    if (m_paused)
        text += QStringLiteral(" (paused)");
    m_lblCount->setText(text);
}

void ReadingsWindow::hideEvent(QHideEvent* event)
{
    ui::RememberPlace(*this, QStringLiteral("List"));
    QWidget::hideEvent(event);
}

} // namespace panel
