#pragma once

#include "colorimetry/Chromaticity.h"
#include "link/FrameReadings.h"
#include "plot/GraphDiagram.h"
#include "plot/RegionFile.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <variant>
#include <vector>

namespace plot {

// What the graph takes from a decoded frame: the live and the reference chromaticity, each in
// x, y and in u', v' as the meter sent them.
using GraphReading = meterlink::ChromaticityReading;

// A region the live point is tested against: its name and its outline in x, y, corners in
// drawing order.
struct GraphRegion
{
    QString name;
    colorimetry::Quadrangle outline;
    bool user = false;
};

// The checked user rows ("User 1" for row 0 ...), their corners read as the plot reads them and
// put in the order the plot draws them, then the eight ANSI quadrangles ("2700 K" ...).
std::vector<GraphRegion> GraphRegions(const RegionRows& rows);

// A row whose eight boxes are all empty; the first one, or nothing.
std::optional<int> FirstFreeRow(const RegionRows& rows);

// The checked row of the quadrangle between two nominal colour temperatures (K) and two Duv
// limits, corners to four decimals; or why the limits are refused.
std::variant<RegionRow, QString> LimitsRow(double cctFrom, double cctTo, double duvFrom,
                                           double duvTo);

// The last readings, oldest first; the oldest drops out once it holds Length.
class Trail
{
public:
    static constexpr int Length = 100;

    void add(colorimetry::XY point);
    int size() const { return m_count; }
    // 0 is the oldest, size() - 1 the newest.
    colorimetry::XY at(int age) const;

private:
    std::array<colorimetry::XY, Length> m_points{};
    int m_next = 0;
    int m_count = 0;
};

enum class Verdict
{
    None,
    Pass,
    Fail
};

// The live state of the graph: the regions on offer and the chosen one, the last reading and
// its trail, and what they tell.
class GraphModel
{
public:
    GraphModel();

    // The user rows changed: the regions are made again; a chosen region that is still there
    // by name stays chosen.
    void setUserRows(const RegionRows& rows);
    const std::vector<GraphRegion>& regions() const { return m_regions; }
    // -1 (or any index out of range): none.
    void choose(int index);
    int chosen() const { return m_chosen; }
    const GraphRegion* chosenRegion() const;

    void showReading(const GraphReading& reading);
    // The meter is gone, or shows no chromaticity: the last reading stays, no longer current.
    void showNoReading();
    bool current() const { return m_current; }
    const std::optional<GraphReading>& last() const { return m_last; }
    const Trail& trail() const { return m_trail; }

    // Pass when the current point lies inside the chosen region or on its boundary; None
    // without a chosen region or a current reading.
    Verdict verdict() const;
    // The names of all regions holding the current point, in list order.
    QStringList holding() const;

private:
    std::vector<GraphRegion> m_regions;
    int m_chosen = -1;
    std::optional<GraphReading> m_last;
    bool m_current = false;
    Trail m_trail;
};

// The texts the window shows for the model, numbers with `separator` as decimal point.
struct GraphTexts
{
    QString verdict; // "PASS", "FAIL" or empty
    QString deltaUv; // "Δu'v' 0.0012", cut to four decimals; empty without a reference
    QString inside;  // "Inside: 5000 K, User 1", "Inside: none"
    QString reading; // "x 0.3451  y 0.3516" or in u', v'; "No reading"
};
GraphTexts TextsFor(const GraphModel& model, Diagram diagram, QChar separator);

} // namespace plot
