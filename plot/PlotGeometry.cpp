#include "plot/PlotGeometry.h"

#include "colorimetry/Region.h"
#include "ui/TextValue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace plot {

Frame FrameFromClient(double sw, double sh)
{
    Frame frame;
    frame.left = 60;
    frame.bottom = sh - 27;
    // The remainder is taken of whole numbers, both operands rounded halves to even first.
    const double room = sw - 60;
    const std::int64_t whole = ui::RoundHalfEven(room);
    const std::int64_t remainder = whole % 30;
    frame.width = room - static_cast<double>(remainder) - 10;
    frame.height = sh - 100;
    return frame;
}

Mapping::Mapping(const Frame& frame, double axisMin, double axisMax)
    : m_frame(frame), m_axisMin(axisMin)
{
    double span = axisMax - axisMin;
    if (!std::isfinite(span) || span == 0 || !std::isfinite(axisMin)) {
        m_axisMin = 0;
        span = 1;
    }
    m_scaleX = frame.width / span;
    m_scaleY = frame.height / span;
}

namespace {

// The default text of a value in plain decimal form: an exponent form is written out, so that
// 1.5E+20 gives "150000000000000000000" and 5.5E-17 gives "0.000000000000000055".
QString plainNumberText(double value)
{
    const QString text = ui::NumberText(value);
    const qsizetype e = text.indexOf(QLatin1Char('E'));
    if (e < 0)
        return text;
    const bool negative = text.startsWith(QLatin1Char('-'));
    QString mantissa = text.mid(negative ? 1 : 0, e - (negative ? 1 : 0));
    qsizetype point = mantissa.indexOf(QLatin1Char('.'));
    if (point < 0)
        point = mantissa.size();
    mantissa.remove(QLatin1Char('.'));
    point += text.mid(e + 1).toInt();
    if (point <= 0)
        mantissa = QStringLiteral("0.") + QString(-point, QLatin1Char('0')) + mantissa;
    else if (point >= mantissa.size())
        mantissa += QString(point - mantissa.size(), QLatin1Char('0'));
    else
        mantissa.insert(point, QLatin1Char('.'));
    return negative ? QLatin1Char('-') + mantissa : mantissa;
}

} // namespace

QString AxisLabel(double value, int decimals)
{
    const QString t = plainNumberText(value);
    const qsizetype p = t.indexOf(QLatin1Char('.'));
    const QString whole = p < 0 ? t : t.left(p);
    QString fraction = p < 0 ? QString() : t.mid(p + 1, decimals);
    fraction += QString(decimals - fraction.size(), QLatin1Char('0'));
    // Floating noise around zero is zero, without a sign.
    if (ui::NumberText(value).contains(QLatin1Char('E')) && std::fabs(value) < 1 &&
        fraction.count(QLatin1Char('0')) == fraction.size())
        return QStringLiteral("0.") + fraction;
    return (whole.isEmpty() ? QStringLiteral("0") : whole) + QLatin1Char('.') + fraction;
}

int AxisLabelDecimals(double axisMin, double axisMax)
{
    constexpr int MostDecimals = 15;
    for (int decimals = 1; decimals <= MostDecimals; ++decimals) {
        bool apart = true;
        QString previous = AxisLabel(axisMin, decimals);
        for (int j = 1; j <= 10 && apart; ++j) {
            QString label = AxisLabel(axisMin + j * (axisMax - axisMin) / 10, decimals);
            apart = label != previous;
            previous = std::move(label);
        }
        if (apart)
            return decimals;
    }
    return 1;
}

QPointF ClampLocus(QPointF point, const Frame& frame)
{
    const double x = std::clamp(point.x(), frame.left, frame.right());
    const double y = std::clamp(point.y(), frame.top() - 10, frame.bottom);
    return {x, y};
}

std::array<QPointF, 4> OutlineOrder(const std::array<QPointF, 4>& c)
{
    colorimetry::Quadrangle corners;
    for (std::size_t i = 0; i < 4; ++i)
        corners[i] = {c[i].x(), c[i].y()};
    const colorimetry::Quadrangle outline = colorimetry::RegionOutline(corners);
    std::array<QPointF, 4> ordered;
    for (std::size_t i = 0; i < 4; ++i)
        ordered[i] = QPointF(outline[i].x, outline[i].y);
    return ordered;
}

std::int64_t ProgressPermille(std::int64_t drawn, double count)
{
    if (!(count > 0))
        return 0;
    return static_cast<std::int64_t>(std::floor(static_cast<double>(drawn) * 1000.0 / count));
}

QString ProgressCaption(std::int64_t permille)
{
    return ui::NumberText(static_cast<double>(permille) / 10.0) + QStringLiteral(" % Completed");
}

namespace {

constexpr std::array<double, 16> PowersOfTen = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// A field that is a plain decimal of at most fifteen digits with blanks around it ("-0.3127"):
// its digits and the power of ten are exact doubles, so their one division rounds as the full
// conversion would, at a fraction of the cost. Nothing for any other field.
std::optional<double> plainDecimal(std::string_view field)
{
    const char* at = field.data();
    const char* end = at + field.size();
    while (at != end && *at == ' ')
        ++at;
    while (at != end && end[-1] == ' ')
        --end;
    if (at == end)
        return std::nullopt;
    const bool negative = *at == '-';
    at += *at == '-' || *at == '+' ? 1 : 0;
    if (end - at > 16)
        return std::nullopt;
    std::uint64_t digits = 0;
    const char* point = nullptr;
    for (const char* c = at; c != end; ++c) {
        const unsigned digit = static_cast<unsigned char>(*c) - unsigned{'0'};
        if (digit < 10) {
            digits = digits * 10 + digit;
        } else if (*c == '.' && point == nullptr) {
            point = c;
        } else {
            return std::nullopt;
        }
    }
    const auto count = (end - at) - (point != nullptr ? 1 : 0);
    if (count == 0 || count > 15)
        return std::nullopt;
    const auto decimals = point != nullptr ? static_cast<std::size_t>(end - point - 1) : 0;
    const double value = static_cast<double>(digits) / PowersOfTen[decimals];
    return negative ? -value : value;
}

} // namespace

std::optional<double> RecordValue(std::string_view field)
{
    if (const std::optional<double> plain = plainDecimal(field))
        return plain;
    constexpr std::string_view blanks = " \t\r\n\v\f";
    const std::size_t first = field.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return std::nullopt;
    field = field.substr(first, field.find_last_not_of(blanks) - first + 1);
    if (field.front() == '+')
        field.remove_prefix(1);
    // A digit, point or minus must lead: this also keeps out "inf" and "nan".
    if (field.empty() || !(std::isdigit(static_cast<unsigned char>(field.front())) ||
                           field.front() == '.' || field.front() == '-'))
        return std::nullopt;
    double value = 0;
    const char* last = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::array<QPointF, 2>> ClipSegment(QPointF a, QPointF b, const QRectF& box)
{
    // Liang-Barsky: the parameters t in [0, 1] of a + t (b - a) that lie inside the box.
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0;
    double t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(),
                         box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return std::nullopt;
    }
    return std::array<QPointF, 2>{QPointF(a.x() + t0 * dx, a.y() + t0 * dy),
                                  QPointF(a.x() + t1 * dx, a.y() + t1 * dy)};
}

std::optional<QString> RangeRefusal(double from, double to, int recordCount, double axisMin,
                                    double axisMax)
{
    if (from < 1 || to <= from || to > recordCount)
        return QStringLiteral("1 <= From < to <=") + ui::NumberText(recordCount) +
               QStringLiteral(", try again!");
    const double span = axisMax - axisMin;
    if (!(span > 0) || !std::isfinite(span))
        return QStringLiteral("Max must be greater than Min, try again!");
    return std::nullopt;
}

} // namespace plot
