#pragma once

#include "files/PlotDocument.h"
#include "plot/PlotGeometry.h"
#include "plot/RegionFile.h"

#include <QBrush>
#include <QColor>
#include <QRgb>
#include <QSizeF>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QFont;
class QImage;
class QPaintDevice;
class QPainter;

namespace plot {

// The classic 16-colour palette (0 black, 7 light grey 192,192,192, 15 white).
QColor PaletteColour(int index);

inline constexpr int DefaultGridColour = 7;

// What both stages draw over: the frame and the value range of both axes.
struct PlotView
{
    Frame frame;
    double axisMin = 0;
    double axisMax = 1;
};

// The value ranges the frame shows, one per axis.
struct AxisRanges
{
    double xMin = 0;
    double xMax = 1;
    double yMin = 0;
    double yMax = 1;
};

// The text of an axis label for a value.
using LabelText = std::function<QString(double)>;

// A text printed in a picture: the text and its box, its top left corner and measured size.
struct PrintedText
{
    QString text;
    QRectF box;
};

// Prints the text at its box in the painter's font and pen.
void DrawPrintedText(QPainter& painter, const PrintedText& text);

// Where DrawAxes prints its 22 labels, measured in `font` on `device` (the screen when null):
// vertical and horizontal label of each tenth in turn.
std::vector<PrintedText> AxisLabelPlaces(const Frame& frame, const AxisRanges& ranges,
                                         const QFont& font, const QPaintDevice* device,
                                         const LabelText& label);

// The axes left of and below the frame: 21 ticks a side, every second one long, and 11 labels a
// side at tenths of the frame, in `font`.
void DrawAxes(QPainter& painter, const Frame& frame, const AxisRanges& ranges, const QFont& font,
              const LabelText& label);

// The 10 x 10 grid over the frame; the vertical lines stand 10 pixels above its top.
void DrawGrid(QPainter& painter, const Frame& frame, const QColor& colour);

// Where a locus point of chromaticity x, y lands in the picture.
using LocusPlace = std::function<QPointF(double x, double y)>;

// The Planckian locus, then the spectral locus closed by the line of purples, each a polyline of
// its table rows in the current pen. Lines are cut at `box`.
void DrawLoci(QPainter& painter, const LocusPlace& place, const QRectF& box);

// A closed outline through the four points in order, in the current pen, cut at `box`.
void DrawOutline(QPainter& painter, const std::array<QPointF, 4>& outline, const QRectF& box);

// The resize stage: clears the picture to `background`, then draws the axes, the 21 ticks a
// side, the 11 labels in `font` and the white frame.
void DrawResizeStage(QImage& picture, const PlotView& view, const QFont& font,
                     const QColor& background);
// The same onto any painter (an SVG document, say) over a picture of `size`.
void DrawResizeStage(QPainter& painter, QSizeF size, const PlotView& view, const QFont& font,
                     const QColor& background);

// The plot stage: grid, regions, both loci, then one black marker per record of the range.
// Markers can be drawn in slices so that the window can let events run between them.
class PlotStage
{
public:
    // Told the progress caption ("12.5 % Completed") each time its text changes.
    using CaptionSink = std::function<void(const QString&)>;

    // `regions` is null when the regions are off. The records are read while drawing, so they
    // must outlive the stage; record numbers of the range beyond them are skipped.
    PlotStage(const PlotView& view, const files::RecordTable& records, files::RecordRange range,
              const RegionRows* regions, int gridColour = DefaultGridColour);

    void setCaptionSink(CaptionSink sink) { m_captionSink = std::move(sink); }

    // Grid, regions and loci onto a picture of `pictureSize`.
    void drawFixed(QPainter& painter, QSizeF pictureSize);
    // Draws up to `budget` further markers; true when the last one is drawn.
    bool drawMarkers(QPainter& painter, QSizeF pictureSize, std::int64_t budget);

    std::int64_t markerCount() const { return m_total; }
    std::int64_t markersDone() const { return m_done; }
    bool finished() const { return m_done >= m_total; }

private:
    // Where markers go: the picture's size, and its pixels when they are written straight.
    struct Pixels
    {
        QSizeF size;
        uchar* bits = nullptr;
        qsizetype stride = 0;
        QRgb colour = 0;
    };
    void drawMarker(QPainter& painter, const Pixels& pixels, double x, double y) const;
    // Tells the caption when it has changed, and when to ask next.
    void tellProgress();

    PlotView m_view;
    Mapping m_mapping;
    const files::RecordTable& m_records;
    const RegionRows* m_regions;
    int m_gridColour;
    CaptionSink m_captionSink;
    QBrush m_markerBrush{Qt::black};
    double m_from;
    std::optional<std::int64_t> m_wholeFrom; // m_from when it is a whole number
    double m_count;
    std::int64_t m_total = 0;
    std::int64_t m_done = 0;
    std::int64_t m_permille = -1;
    std::int64_t m_nextCaption = 0; // drawn markers at which the caption is asked next
};

// Writes the picture as a one-page PDF document scaled to the page. The file is replaced only
// when the new one is complete; otherwise false, with the reason, and any earlier file stays.
bool WritePicturePdf(const QImage& picture, const QString& path, const QString& title,
                     QString& reason);

} // namespace plot
