#pragma once

#include "files/PlotDocument.h"
#include "plot/PlotRenderer.h"
#include "plot/RangeStatistics.h"
#include "plot/RegionFile.h"

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QElapsedTimer;
class QTimer;

namespace plot {

// The drawing of the `Plot` window, in two stages into a kept picture that it shows and that
// printing takes as it is. The resize stage draws at once; the plot stage follows 1000 ms later
// through the one-shot `Timer1` and draws the document's range in slices, letting the window's
// events run between them, while the statistics of the range are taken beside it. A change of
// the document's records or range redraws it.
class PlotCanvas : public QWidget
{
    Q_OBJECT
public:
    // The region rows the plot stage draws, read when it starts; nothing while regions are off.
    using RegionSource = std::function<std::optional<RegionRows>()>;

    PlotCanvas(const files::PlotDocument& document, QWidget* parent);
    ~PlotCanvas() override;

    void setRegionSource(RegionSource source) { m_regionSource = std::move(source); }

    // The resize stage at once, and the plot stage scheduled: the full redraw.
    void redraw();
    // The value range of both axes for the next drawing.
    void setAxisRange(double axisMin, double axisMax);
    // Starts the plot stage (Timer1's tick); it ends by itself once all markers are drawn.
    void startPlotStage();
    // No stage runs or waits any more.
    void stop();

    double axisMin() const { return m_axisMin; }
    double axisMax() const { return m_axisMax; }
    int gridColour() const { return m_gridColour; }
    const Frame& frame() const { return m_frame; }
    // What has been drawn so far, as it is shown and printed.
    const QImage& picture() const { return m_picture; }
    bool plotStageRunning() const { return m_stage != nullptr; }
    // How much one slice of the plot stage draws before the window's events run: markers
    // between looks at the clock, and the time a slice may take.
    void setSliceLimits(std::int64_t markersPerCheck, qint64 sliceMs);

Q_SIGNALS:
    // The progress caption of the plot stage ("12.5 % Completed").
    void progressCaption(const QString& caption);
    // The plot stage has drawn the regions it was given.
    void regionsDrawn();
    void statisticsTaken(const plot::RangeStatistics& statistics);
    // The plot stage drew its last marker and took the last record's statistics.
    void drawn();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void drawSlice();
    void cancelPlotStage();
    // Takes the statistics further until `clock` passes the slice time; true once they are
    // taken.
    bool advanceStatistics(const QElapsedTimer& clock);

    const files::PlotDocument& m_document;
    RegionSource m_regionSource;

    double m_axisMin = files::PlotDocument::DefaultAxisMin;
    double m_axisMax = files::PlotDocument::DefaultAxisMax;
    int m_gridColour = DefaultGridColour;
    Frame m_frame;
    QImage m_picture;

    std::unique_ptr<PlotStage> m_stage;
    std::optional<RegionRows> m_stageRegions;         // the rows the running stage draws
    std::unique_ptr<RangeStatisticsRun> m_statistics; // taken beside the running stage
    QTimer* m_plotStageTimer;
    QTimer* m_sliceTimer;
    std::int64_t m_markersPerCheck;
    qint64 m_sliceMs;
};

} // namespace plot
