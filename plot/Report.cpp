#include "plot/Report.h"

#include "colorimetry/Blackbody.h"
#include "plot/GraphRenderer.h"
#include "plot/PlotGeometry.h"
#include "ui/TextValue.h"
#include "ui/WorkingFiles.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QUuid>
#include <algorithm>
#include <cmath>
#include <set>

namespace plot {

namespace {

constexpr double Margin = 42; // points, about 15 mm
constexpr double DiagramHeight = 300;
constexpr double LineStep = 12;
const QString ProgramName = QStringLiteral("Tellarix 582");

QFont fontOf(int pixels)
{
    // One face by name: the window and the client lay out the same glyphs, and the PDF writer,
    // which writes several faces in an order of its own that changes from run to run, has one.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

// The records of the range as the plot numbers them, first and last.
std::pair<std::int64_t, std::int64_t> RecordNumbers(files::RecordRange range)
{
    if (!(std::isfinite(range.from) && std::isfinite(range.to) && range.to >= range.from))
        return {0, -1};
    return {ui::RoundHalfEven(range.from),
            ui::RoundHalfEven(range.from + std::floor(range.to - range.from))};
}

QString orDash(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

QString percentText(double percent)
{
    return QString::number(percent, 'g', 6);
}

// Where the Planckian locus is marked with its temperature.
constexpr int CctTicks[] = {2000, 2500, 3000, 3500, 4000, 4500, 5000, 5700, 6500, 8000, 10000};

void drawCctTicks(QPainter& painter, const GraphViewport& viewport, const QFont& font)
{
    const Frame& f = viewport.frame();
    const QRectF frame(QPointF(f.left, f.top()), QPointF(f.right(), f.bottom));
    painter.setFont(font);
    painter.setPen(QPen(Qt::black, 0.6));
    for (const int kelvin : CctTicks) {
        // Across the locus, 5 points each way, whatever the zoom.
        const QPointF on = viewport.toPixel(colorimetry::CctDuvPoint(kelvin, 0));
        const QPointF across = viewport.toPixel(colorimetry::CctDuvPoint(kelvin, 0.001)) - on;
        const double length = std::hypot(across.x(), across.y());
        if (!frame.contains(on) || !(length > 0))
            continue;
        const QPointF step = across * (5 / length);
        painter.drawLine(on - step, on + step);
        const QString label = QStringLiteral("%1 K").arg(kelvin);
        const double width = painter.fontMetrics().horizontalAdvance(label);
        // Below the locus, where the tick points down.
        const QPointF end = step.y() > 0 ? on + step : on - step;
        QPointF at = end + QPointF(-width / 2, font.pixelSize() + 1.0);
        if (at.y() > frame.bottom() - 2)
            at = (step.y() > 0 ? on - step : on + step) + QPointF(-width / 2, -2);
        painter.drawText(at, label);
    }
}

// One dot per quarter point of the page: a long recording makes a small file, and the dots
// cover what a marker for every record would.
void drawRecords(QPainter& painter, const ReportRequest& request, const GraphViewport& viewport)
{
    const auto [first, last] = RecordNumbers(request.range);
    const auto stored = static_cast<std::int64_t>(request.records->count());
    std::set<std::pair<long, long>> cells;
    for (std::int64_t n = std::max<std::int64_t>(first, 1); n <= std::min(last, stored); ++n) {
        const auto fields = request.records->fields(static_cast<std::size_t>(n));
        const std::optional<double> x = RecordValue(fields.x);
        const std::optional<double> y = x ? RecordValue(fields.y) : std::nullopt;
        if (!y)
            continue;
        const QPointF p = viewport.toPixel({*x, *y});
        if (std::isfinite(p.x()) && std::isfinite(p.y()) && std::abs(p.x()) < 1e6 &&
            std::abs(p.y()) < 1e6)
            cells.insert({std::lround(p.x() * 4), std::lround(p.y() * 4)});
    }
    const Frame& f = viewport.frame();
    painter.setClipRect(QRectF(QPointF(f.left, f.top()), QPointF(f.right(), f.bottom)));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const auto& [cx, cy] : cells)
        painter.drawRect(
            QRectF(static_cast<double>(cx) / 4 - 1.2, static_cast<double>(cy) / 4 - 1.2, 2.4, 2.4));
    painter.setClipping(false);
}

void drawDiagram(QPainter& painter, const ReportRequest& request, const ReportContent& content,
                 QRectF area)
{
    painter.save();
    painter.translate(area.topLeft());
    GraphViewport viewport(request.diagram);
    viewport.setSize(area.size());
    const RangeStatistics& s = content.statistics;
    const bool uv = request.diagram == Diagram::UV;
    const files::ColumnStatistics& across = s[uv ? StatisticsRow::u : StatisticsRow::x];
    const files::ColumnStatistics& up = s[uv ? StatisticsRow::v : StatisticsRow::y];
    if (across.count() > 0) {
        const QRectF values(QPointF(*across.minimum(), *up.minimum()),
                            QPointF(*across.maximum(), *up.maximum()));
        viewport.fitValues(values, uv ? 0.015 : 0.02);
    } else {
        viewport.fitWhole();
    }
    DrawGraphDiagram(painter, area.size(), viewport, request.regions, -1, fontOf(8));
    drawCctTicks(painter, viewport, fontOf(7));
    drawRecords(painter, request, viewport);
    painter.restore();
    painter.setFont(fontOf(8));
    painter.setPen(Qt::black);
    // Above the frame, right of the vertical axis's labels.
    painter.drawText(area.adjusted(GraphFrame(area.size()).left, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignTop,
                     uv ? QStringLiteral("CIE 1976 u', v'") : QStringLiteral("CIE 1931 x, y"));
}

// Returns the height taken.
double drawStatistics(QPainter& painter, const ReportContent& content, QPointF at, double width)
{
    static const QString rows[StatisticsRowCount] = {
        QStringLiteral("x"),          QStringLiteral("y"),       QStringLiteral("u'"),
        QStringLiteral("v'"),         QStringLiteral("Ev (lx)"), QStringLiteral("Tcp (K)"),
        QString::fromUtf8("\u0394uv")};
    static const QString columns[StatisticsColumnCount] = {
        QStringLiteral("count"), QStringLiteral("minimum"), QStringLiteral("maximum"),
        QStringLiteral("mean"), QStringLiteral("SD")};
    const double labelWidth = 70;
    const double cell = (width - labelWidth) / StatisticsColumnCount;
    painter.setFont(fontOf(9));
    const auto put = [&](int row, int column, const QString& text) {
        const QRectF box(at.x() + (column < 0 ? 0 : labelWidth + column * cell),
                         at.y() + row * LineStep, column < 0 ? labelWidth : cell - 6, LineStep);
        painter.drawText(box, (column < 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                         text);
    };
    for (int column = 0; column < StatisticsColumnCount; ++column)
        put(0, column, columns[column]);
    for (int row = 0; row < StatisticsRowCount; ++row) {
        put(row + 1, -1, rows[row]);
        for (int column = 0; column < StatisticsColumnCount; ++column)
            put(row + 1, column,
                StatisticsCell(content.statistics, static_cast<StatisticsRow>(row), column));
    }
    painter.setPen(QPen(Qt::black, 0.5));
    painter.drawLine(QPointF(at.x(), at.y() + LineStep),
                     QPointF(at.x() + width, at.y() + LineStep));
    const double below = at.y() + (StatisticsRowCount + 1) * LineStep + 2;
    painter.drawText(QRectF(at.x(), below, width, LineStep), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Records: %1 plotted, not numbers: %2")
                         .arg(content.statistics.plotted)
                         .arg(content.statistics.notNumbers));
    return below + LineStep - at.y();
}

QByteArray xmpMetadata(const ReportRequest& request, const QString& title)
{
    // Derived from what the page shows, so that the same report is the same file.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& part :
         {title, request.fileName, request.notes, request.version,
          request.made.toString(Qt::ISODate), percentText(request.requiredPercent),
          QString::number(request.range.from, 'g', 17), QString::number(request.range.to, 'g', 17),
          QString::number(request.records->count()), QString::number(int(request.diagram))})
        hash.addData(part.toUtf8() + '\0');
    for (const GraphRegion& region : request.regions)
        hash.addData(region.name.toUtf8() + '\0');
    const QString id = QUuid::fromRfc4122(hash.result().left(16)).toString(QUuid::WithoutBraces);
    const QString date = request.made.toString(Qt::ISODate);
    return QStringLiteral(
               "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
               "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
               "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
               "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
               "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" "
               "xmlns:xmpMM=\"http://ns.adobe.com/xap/1.0/mm/\">\n"
               "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt>"
               "</dc:title>\n"
               "<xmp:CreateDate>%2</xmp:CreateDate>\n<xmp:ModifyDate>%2</xmp:ModifyDate>\n"
               "<xmp:CreatorTool>%3</xmp:CreatorTool>\n"
               "<xmpMM:DocumentID>uuid:%4</xmpMM:DocumentID>\n"
               "<xmpMM:InstanceID>uuid:%4</xmpMM:InstanceID>\n"
               "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end='w'?>")
        .arg(title.toHtmlEscaped(), date, (ProgramName + QLatin1Char(' ') + request.version), id)
        .toUtf8();
}

QSizeF pagePoints(QPageSize::PageSizeId page)
{
    return QPageSize(page).size(QPageSize::Point);
}

QByteArray pdfDocument(const ReportRequest& request, const ReportContent& content)
{
    constexpr int Dpi = 720;
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&document);
        writer.setTitle(content.title);
        writer.setCreator(ProgramName + QLatin1Char(' ') + request.version);
        writer.setPageSize(QPageSize(request.page));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(Dpi);
        writer.setDocumentXmpMetadata(xmpMetadata(request, content.title));
        QPainter painter;
        if (!painter.begin(&writer))
            return {};
        painter.scale(Dpi / 72.0, Dpi / 72.0);
        PaintReport(painter, request, content, pagePoints(request.page));
        painter.end();
    }
    return document.data();
}

QByteArray svgDocument(const ReportRequest& request, const ReportContent& content)
{
    const QSizeF page = pagePoints(request.page);
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&document);
    generator.setSize(page.toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), page));
    generator.setResolution(72);
    generator.setTitle(content.title);
    QPainter painter(&generator);
    PaintReport(painter, request, content, page);
    painter.end();
    return document.data();
}

QByteArray pngDocument(const ReportRequest& request, const ReportContent& content, int dpi)
{
    const QSizeF page = pagePoints(request.page);
    const double scale = dpi / 72.0;
    QImage image((page * scale).toSize(), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        PaintReport(painter, request, content, page);
    }
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    image.save(&document, "PNG");
    return document.data();
}

} // namespace

QString ReportDialogFilter()
{
    return QStringLiteral("PDF (*.pdf)|*.pdf|SVG Images (*.svg)|*.svg|PNG Images (*.png)|*.png|");
}

ReportFormat ReportFormatOf(const QString& path, int filterIndex)
{
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        return ReportFormat::Svg;
    if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return ReportFormat::Png;
    if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return ReportFormat::Pdf;
    return filterIndex == 2 ? ReportFormat::Svg
                            : (filterIndex == 3 ? ReportFormat::Png : ReportFormat::Pdf);
}

ReportRequest ReportRequestFor(const files::PlotDocument& document)
{
    ReportRequest request;
    request.fileName = document.name();
    request.records = &document.records();
    request.range = document.range();
    const auto [first, last] = RecordNumbers(request.range);
    const auto from = static_cast<std::size_t>(std::max<std::int64_t>(first, 0));
    const auto to = static_cast<std::size_t>(std::max<std::int64_t>(last, 0));
    const files::RecordSource& source = document.source();
    if (!source.path.isEmpty())
        files::ReadDataFileFacts(source.path, from, to, request.facts);
    else
        request.facts = files::DataTextFacts(
            std::string_view(source.text.constData(), static_cast<std::size_t>(source.text.size())),
            from, to);
    return request;
}

QPageSize::PageSizeId ReportPageFor(const QLocale& locale)
{
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                   : QPageSize::A4;
}

std::optional<GraphRegion> FindRegion(const std::vector<GraphRegion>& offered, const QString& name)
{
    const auto key = [](QString text) {
        text.remove(QLatin1Char(' '));
        return text.toLower();
    };
    const QString wanted = key(name);
    for (const GraphRegion& region : offered) {
        const QString own = key(region.name);
        if (own == wanted || (!region.user && own == wanted + QLatin1Char('k')))
            return region;
    }
    return std::nullopt;
}

std::optional<double> ParseRequiredPercent(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1Char('%')))
        text.chop(1);
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !(value >= 0 && value <= 100))
        return std::nullopt;
    return value;
}

ReportContent ReportContentOf(const ReportRequest& request)
{
    ReportContent content;
    content.title = request.title.trimmed().isEmpty() ? request.fileName : request.title.trimmed();
    std::vector<colorimetry::Quadrangle> outlines;
    for (const GraphRegion& region : request.regions)
        outlines.push_back(region.outline);
    RangeStatisticsRun run(*request.records, request.range, outlines, ReportOutsideListed);
    while (!run.advance(INT64_MAX)) {
    }
    content.statistics = run.result();

    const auto [first, last] = RecordNumbers(request.range);
    const files::DataFileFacts& facts = request.facts;
    content.heading << QStringLiteral("File: %1").arg(request.fileName)
                    << QStringLiteral("Start time: %1    Interval: %2")
                           .arg(orDash(facts.startTime), orDash(facts.interval))
                    << QStringLiteral("Records %1 to %2 of %3: %4 to %5")
                           .arg(first)
                           .arg(last)
                           .arg(request.records->count())
                           .arg(orDash(facts.firstRecord), orDash(facts.lastRecord))
                    << QStringLiteral("Report of %1, %2 %3")
                           .arg(request.made.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                ProgramName, request.version);

    const long long plotted = content.statistics.plotted;
    for (std::size_t i = 0; i < request.regions.size(); ++i) {
        const RegionShare& share = content.statistics.regions[i];
        // Exact in whole numbers: 100 % needs every record, not a rounded share.
        const bool pass = plotted > 0 && static_cast<double>(share.inside) * 100.0 >=
                                             request.requiredPercent * static_cast<double>(plotted);
        content.verdicts.push_back(
            {request.regions[i].name, share.inside, plotted, pass, share.outside});
    }
    return content;
}

QString VerdictLine(const RegionVerdict& verdict)
{
    const double percent = verdict.plotted > 0 ? 100.0 * static_cast<double>(verdict.inside) /
                                                     static_cast<double>(verdict.plotted)
                                               : 0;
    return QStringLiteral("%1: %2 % inside (%3 of %4): %5")
        .arg(verdict.name, QString::number(percent, 'f', 1))
        .arg(verdict.inside)
        .arg(verdict.plotted)
        .arg(verdict.pass ? QStringLiteral("PASS") : QStringLiteral("FAIL"));
}

QString OutsideLine(const RegionVerdict& verdict)
{
    const long long count = verdict.plotted - verdict.inside;
    if (count <= 0)
        return {};
    QStringList numbers;
    for (const std::int64_t n : verdict.outside)
        numbers << QString::number(n);
    QString line =
        QStringLiteral("Outside (%1): %2").arg(count).arg(numbers.join(QStringLiteral(", ")));
    if (count > static_cast<long long>(verdict.outside.size()))
        line += QString::fromUtf8(" \u2026 and %1 more")
                    .arg(count - static_cast<long long>(verdict.outside.size()));
    return line;
}

void PaintReport(QPainter& painter, const ReportRequest& request, const ReportContent& content,
                 QSizeF pageSize)
{
    const double width = pageSize.width() - 2 * Margin;
    const double bottom = pageSize.height() - Margin;
    double y = Margin;
    painter.setPen(Qt::black);

    painter.setFont(fontOf(17));
    painter.drawText(
        QRectF(Margin, y, width, 22), Qt::AlignLeft | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(content.title, Qt::ElideRight, static_cast<int>(width)));
    y += 26;
    painter.setFont(fontOf(9));
    for (const QString& line : content.heading) {
        painter.drawText(QRectF(Margin, y, width, LineStep), Qt::AlignLeft | Qt::AlignVCenter,
                         line);
        y += LineStep;
    }
    y += 6;

    drawDiagram(painter, request, content, QRectF(Margin - 20, y, width + 20, DiagramHeight));
    y += DiagramHeight + 10;

    const auto section = [&](const QString& name) {
        painter.setPen(Qt::black);
        painter.setFont(fontOf(12));
        painter.drawText(QRectF(Margin, y, width, 15), Qt::AlignLeft | Qt::AlignVCenter, name);
        y += 17;
        painter.setFont(fontOf(9));
    };
    section(QStringLiteral("Statistics"));
    y += drawStatistics(painter, content, QPointF(Margin, y), width) + 8;

    section(QStringLiteral("Verdicts (share required: %1 %)")
                .arg(percentText(request.requiredPercent)));
    if (content.verdicts.empty()) {
        painter.drawText(QRectF(Margin, y, width, LineStep), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("No region chosen."));
        y += LineStep;
    }
    for (const RegionVerdict& verdict : content.verdicts) {
        painter.drawText(QRectF(Margin, y, width, LineStep), Qt::AlignLeft | Qt::AlignVCenter,
                         VerdictLine(verdict));
        y += LineStep;
        if (const QString outside = OutsideLine(verdict); !outside.isEmpty()) {
            painter.setFont(fontOf(8));
            const QRectF box(Margin + 12, y, width - 12, bottom - y);
            const QRectF used = painter.boundingRect(box, Qt::TextWordWrap, outside);
            painter.drawText(box, Qt::TextWordWrap, outside);
            y += used.height() + 2;
            painter.setFont(fontOf(9));
        }
    }
    y += 8;

    if (!request.notes.trimmed().isEmpty() && y < bottom - 30) {
        section(QStringLiteral("Notes"));
        painter.save();
        painter.setClipRect(QRectF(Margin, y, width, bottom - y));
        painter.drawText(QRectF(Margin, y, width, bottom - y), Qt::TextWordWrap,
                         request.notes.trimmed());
        painter.restore();
    }
}

QByteArray ReportDocument(const ReportRequest& request, ReportFormat format, int pngDpi)
{
    const ReportContent content = ReportContentOf(request);
    switch (format) {
    case ReportFormat::Pdf:
        return pdfDocument(request, content);
    case ReportFormat::Svg:
        return svgDocument(request, content);
    case ReportFormat::Png:
        return pngDocument(request, content, pngDpi);
    }
    return {};
}

bool WriteReport(const ReportRequest& request, ReportFormat format, const QString& path,
                 QString& reason)
{
    const QByteArray bytes = ReportDocument(request, format);
    if (bytes.isEmpty()) {
        reason = QStringLiteral("the report could not be made");
        return false;
    }
    // Written aside and renamed once complete: a failure leaves any earlier file whole.
    return ui::SaveWhole(path, bytes, std::nullopt, reason) == ui::SaveOutcome::Saved;
}

} // namespace plot
