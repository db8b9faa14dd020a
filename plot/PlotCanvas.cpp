#include "plot/PlotCanvas.h"

#include <QElapsedTimer>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

namespace plot {

namespace {

// Markers drawn between two looks at the clock, and how long one slice may run before the
// window's events get their turn: a few times a second keeps it responsive without slowing
// the drawing down.
constexpr std::int64_t MarkersPerCheck = 4096;
constexpr qint64 SliceMs = 100;
// Records the statistics take between two looks at the clock.
constexpr std::int64_t StatisticsPerCheck = 1 << 16;

} // namespace

PlotCanvas::PlotCanvas(const files::PlotDocument& document, QWidget* parent)
    : QWidget(parent), m_document(document), m_plotStageTimer(new QTimer(this)),
      m_sliceTimer(new QTimer(this)), m_markersPerCheck(MarkersPerCheck), m_sliceMs(SliceMs)
{
    setObjectName(QStringLiteral("PlotCanvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_plotStageTimer->setObjectName(QStringLiteral("Timer1"));
    m_plotStageTimer->setSingleShot(true);
    m_plotStageTimer->setInterval(1000);
    connect(m_plotStageTimer, &QTimer::timeout, this, &PlotCanvas::startPlotStage);
    m_sliceTimer->setSingleShot(true);
    m_sliceTimer->setInterval(0);
    connect(m_sliceTimer, &QTimer::timeout, this, &PlotCanvas::drawSlice);
    connect(&document, &files::PlotDocument::recordsReplaced, this, &PlotCanvas::redraw);
    connect(&document, &files::PlotDocument::rangeChanged, this, &PlotCanvas::redraw);
}

PlotCanvas::~PlotCanvas() = default;

void PlotCanvas::resizeEvent(QResizeEvent* /*event*/)
{
    redraw();
}

void PlotCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().window());
    painter.drawImage(0, 0, m_picture);
}

void PlotCanvas::redraw()
{
    cancelPlotStage();
    const QSize size(std::max(1, width()), std::max(1, height()));
    if (m_picture.size() != size)
        m_picture = QImage(size, QImage::Format_RGB32);
    m_frame = FrameFromClient(size.width(), size.height());
    DrawResizeStage(m_picture, PlotView{m_frame, m_axisMin, m_axisMax}, font(),
                    palette().color(QPalette::Window));
    update();
    m_plotStageTimer->start();
}

void PlotCanvas::setAxisRange(double axisMin, double axisMax)
{
    m_axisMin = axisMin;
    m_axisMax = axisMax;
}

void PlotCanvas::startPlotStage()
{
    m_plotStageTimer->stop();
    cancelPlotStage();
    m_stageRegions = m_regionSource ? m_regionSource() : std::nullopt;
    const RegionRows* regions = m_stageRegions ? &*m_stageRegions : nullptr;
    m_stage =
        std::make_unique<PlotStage>(PlotView{m_frame, m_axisMin, m_axisMax}, m_document.records(),
                                    m_document.range(), regions, m_gridColour);
    m_stage->setCaptionSink([this](const QString& caption) { Q_EMIT progressCaption(caption); });
    m_statistics =
        std::make_unique<RangeStatisticsRun>(m_document.records(), m_document.range(), regions);
    {
        QPainter painter(&m_picture);
        m_stage->drawFixed(painter, m_picture.size());
    }
    if (regions != nullptr)
        Q_EMIT regionsDrawn();
    drawSlice();
}

void PlotCanvas::drawSlice()
{
    if (!m_stage)
        return;
    QElapsedTimer clock;
    clock.start();
    const bool counted = advanceStatistics(clock);
    if (!m_stage) // what showed the statistics started over
        return;
    {
        QPainter painter(&m_picture);
        while (!m_stage->drawMarkers(painter, m_picture.size(), m_markersPerCheck)) {
            if (clock.elapsed() >= m_sliceMs)
                break;
        }
    }
    update();
    if (!m_stage->finished() || !counted) {
        // Let the window's events run, then go on where this slice stopped.
        m_sliceTimer->start();
        return;
    }
    m_stage.reset();
    Q_EMIT drawn();
}

bool PlotCanvas::advanceStatistics(const QElapsedTimer& clock)
{
    if (!m_statistics)
        return true;
    while (!m_statistics->advance(StatisticsPerCheck)) {
        if (clock.elapsed() >= m_sliceMs)
            return false;
    }
    const RangeStatistics result = m_statistics->result();
    m_statistics.reset();
    Q_EMIT statisticsTaken(result);
    return true;
}

void PlotCanvas::setSliceLimits(std::int64_t markersPerCheck, qint64 sliceMs)
{
    m_markersPerCheck = std::max<std::int64_t>(1, markersPerCheck);
    m_sliceMs = std::max<qint64>(0, sliceMs);
}

void PlotCanvas::stop()
{
    m_plotStageTimer->stop();
    cancelPlotStage();
}

void PlotCanvas::cancelPlotStage()
{
    m_sliceTimer->stop();
    m_stage.reset();
    m_statistics.reset();
}

} // namespace plot
