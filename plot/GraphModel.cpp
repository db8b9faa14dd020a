#include "plot/GraphModel.h"

#include "colorimetry/AnsiQuadrangles.h"
#include "colorimetry/Blackbody.h"
#include "colorimetry/Region.h"

#include <algorithm>
#include <cmath>

namespace plot {

namespace {

// The limits a quadrangle from limits may lie within: the built-in Planckian locus's range,
// and well beyond any tolerance in use for white light.
constexpr double LowestCct = 1000;
constexpr double HighestCct = 20000;
constexpr double LargestDuv = 0.05;

QString fixed(double value, int decimals, QChar separator = QLatin1Char('.'))
{
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), separator);
    return text;
}

} // namespace

std::vector<GraphRegion> GraphRegions(const RegionRows& rows)
{
    std::vector<GraphRegion> regions;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto values = rows[r].checked ? RegionCorners(rows[r]) : std::nullopt;
        if (!values)
            continue;
        colorimetry::Quadrangle corners;
        for (std::size_t j = 0; j < 4; ++j)
            corners[j] = {(*values)[j].x(), (*values)[j].y()};
        regions.push_back(
            {QStringLiteral("User %1").arg(r + 1), colorimetry::RegionOutline(corners), true});
    }
    for (const colorimetry::AnsiQuadrangle& bin : colorimetry::AnsiQuadrangles)
        regions.push_back({QStringLiteral("%1 K").arg(bin.nominalCct), bin.corners, false});
    return regions;
}

std::optional<int> FirstFreeRow(const RegionRows& rows)
{
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (std::all_of(rows[r].texts.begin(), rows[r].texts.end(),
                        [](const QString& text) { return text.isEmpty(); }))
            return static_cast<int>(r);
    return std::nullopt;
}

std::variant<RegionRow, QString> LimitsRow(double cctFrom, double cctTo, double duvFrom,
                                           double duvTo)
{
    const auto within = [](double v, double low, double high) { return v >= low && v <= high; };
    if (!within(cctFrom, LowestCct, HighestCct) || !within(cctTo, LowestCct, HighestCct) ||
        cctFrom == cctTo || !within(duvFrom, -LargestDuv, LargestDuv) ||
        !within(duvTo, -LargestDuv, LargestDuv) || duvFrom == duvTo)
        return QStringLiteral("CCT from 1000 to 20000 K and Duv from -0.05 to 0.05, "
                              "each pair different, try again!");
    const colorimetry::Quadrangle corners =
        colorimetry::QuadrangleFromLimits(cctFrom, cctTo, duvFrom, duvTo);
    RegionRow row;
    row.checked = true;
    for (std::size_t j = 0; j < 4; ++j) {
        row.texts[j] = fixed(corners[j].x, 4);
        row.texts[j + 4] = fixed(corners[j].y, 4);
    }
    return row;
}

void Trail::add(colorimetry::XY point)
{
    m_points[static_cast<std::size_t>(m_next)] = point;
    m_next = (m_next + 1) % Length;
    m_count = std::min(m_count + 1, Length);
}

colorimetry::XY Trail::at(int age) const
{
    const int index = (m_next - m_count + age + Length) % Length;
    return m_points[static_cast<std::size_t>(index)];
}

GraphModel::GraphModel() : m_regions(GraphRegions(RegionRows())) {}

void GraphModel::setUserRows(const RegionRows& rows)
{
    const QString chosenName = chosenRegion() ? chosenRegion()->name : QString();
    m_regions = GraphRegions(rows);
    m_chosen = -1;
    for (std::size_t i = 0; i < m_regions.size(); ++i)
        if (!chosenName.isEmpty() && m_regions[i].name == chosenName)
            m_chosen = static_cast<int>(i);
}

void GraphModel::choose(int index)
{
    m_chosen = index >= 0 && index < static_cast<int>(m_regions.size()) ? index : -1;
}

const GraphRegion* GraphModel::chosenRegion() const
{
    return m_chosen >= 0 ? &m_regions[static_cast<std::size_t>(m_chosen)] : nullptr;
}

void GraphModel::showReading(const GraphReading& reading)
{
    m_last = reading;
    m_current = true;
    m_trail.add(reading.live);
}

void GraphModel::showNoReading()
{
    m_current = false;
}

Verdict GraphModel::verdict() const
{
    const GraphRegion* region = chosenRegion();
    if (region == nullptr || !m_current)
        return Verdict::None;
    return colorimetry::InsideRegion(region->outline, m_last->live) ? Verdict::Pass : Verdict::Fail;
}

QStringList GraphModel::holding() const
{
    QStringList names;
    if (!m_current)
        return names;
    for (const GraphRegion& region : m_regions)
        if (colorimetry::InsideRegion(region.outline, m_last->live))
            names << region.name;
    return names;
}

GraphTexts TextsFor(const GraphModel& model, Diagram diagram, QChar separator)
{
    GraphTexts texts;
    if (!model.current()) {
        texts.reading = QStringLiteral("No reading");
        return texts;
    }
    const GraphReading& r = *model.last();
    const QPointF p =
        diagram == Diagram::XY ? QPointF(r.live.x, r.live.y) : QPointF(r.liveUv.u, r.liveUv.v);
    texts.reading =
        (diagram == Diagram::XY ? QStringLiteral("x %1  y %2") : QStringLiteral("u' %1  v' %2"))
            .arg(fixed(p.x(), 4, separator), fixed(p.y(), 4, separator));
    if (r.hasReference()) {
        const double delta = std::hypot(r.liveUv.u - r.referenceUv.u, r.liveUv.v - r.referenceUv.v);
        // Cut, not rounded, as the meter's own delta-u'v' display does, so that both agree.
        const double cut = std::floor(delta * 10000 + 1e-6) / 10000;
        texts.deltaUv = QStringLiteral("\u0394u'v' ") + fixed(cut, 4, separator);
    }
    const Verdict verdict = model.verdict();
    if (verdict != Verdict::None)
        texts.verdict = verdict == Verdict::Pass ? QStringLiteral("PASS") : QStringLiteral("FAIL");
    const QStringList holding = model.holding();
    texts.inside =
        QStringLiteral("Inside: ") +
        (holding.isEmpty() ? QStringLiteral("none") : holding.join(QStringLiteral(", ")));
    return texts;
}

} // namespace plot
