#include "virtualmeter/LightSource.h"

#include "colorimetry/LocusTables.h"

#include <cmath>
#include <numbers>
#include <optional>

namespace virtualmeter {

namespace {

constexpr double WhiteX = 1.0 / 3.0;
constexpr double WhiteY = 1.0 / 3.0;
constexpr int LastSpectralRow = 400; // 780 nm; row 401 closes the curve back to 380 nm

double wave(double seconds, double period)
{
    // Reduce first: sin() of 1.8e9 seconds loses the slow drift in rounding.
    return std::sin(2.0 * std::numbers::pi * std::fmod(seconds, period) / period);
}

// Planckian locus in CIE 1960 u, v (rational approximation, good from 1000 K to 15000 K).
void planck(double t, double& u, double& v)
{
    u = (0.860117757 + 1.54118254e-4 * t + 1.28641212e-7 * t * t) /
        (1.0 + 8.42420235e-4 * t + 7.08145163e-7 * t * t);
    v = (0.317398726 + 4.22806245e-5 * t + 4.20481691e-8 * t * t) /
        (1.0 - 2.89741816e-5 * t + 1.61456053e-7 * t * t);
}

struct Hit
{
    double t = 0; // distance along the ray in units of its direction
    int row = 0;  // segment from row to row + 1
    double s = 0; // position on that segment, 0..1
};

// First crossing of the ray white + t·(dx, dy), t > 0, with the locus segments [first, last).
std::optional<Hit> crossLocus(double dx, double dy, int first, int last)
{
    const auto& table = colorimetry::SpectralLocusTable;
    std::optional<Hit> best;
    for (int i = first; i < last; ++i) {
        const auto& a = table[static_cast<std::size_t>(i)];
        const auto& b = table[static_cast<std::size_t>(i + 1)];
        const double ex = b.x - a.x;
        const double ey = b.y - a.y;
        const double det = ex * dy - ey * dx;
        if (std::abs(det) < 1e-15)
            continue; // repeated table points or a segment parallel to the ray
        const double wx = a.x - WhiteX;
        const double wy = a.y - WhiteY;
        const double t = (ex * wy - ey * wx) / det;
        const double s = (dx * wy - dy * wx) / det;
        if (t <= 0 || s < 0 || s > 1)
            continue;
        if (!best || t < best->t)
            best = Hit{t, i, s};
    }
    return best;
}

double keyAt(const Hit& hit)
{
    const auto& table = colorimetry::SpectralLocusTable;
    const double a = table[static_cast<std::size_t>(hit.row)].key;
    const double b = table[static_cast<std::size_t>(hit.row + 1)].key;
    return a + (b - a) * hit.s;
}

double yAt(const Hit& hit)
{
    const auto& table = colorimetry::SpectralLocusTable;
    const double a = table[static_cast<std::size_t>(hit.row)].y;
    const double b = table[static_cast<std::size_t>(hit.row + 1)].y;
    return a + (b - a) * hit.s;
}

} // namespace

Light driftingLight(double seconds)
{
    Light light;
    light.tcp = 5200.0 + 1100.0 * wave(seconds, 900.0) + 150.0 * wave(seconds, 131.0);
    light.duv = 0.0025 * wave(seconds, 470.0) + 0.0005 * wave(seconds, 53.0);
    light.ev = 380.0 + 110.0 * wave(seconds, 610.0) + 12.0 * wave(seconds, 29.0);
    return light;
}

Dominant dominantWavelength(double x, double y)
{
    Dominant result;
    const double dx = x - WhiteX;
    const double dy = y - WhiteY;
    if (std::hypot(dx, dy) < 1e-9 || y <= 0)
        return result; // the white point itself has no hue
    // The closed boundary: spectral rows 0..400 and the line of purples 400 -> 401.
    const auto hit = crossLocus(dx, dy, 0, LastSpectralRow + 1);
    if (!hit)
        return result;
    result.Pe = 1.0 / hit->t;
    if (hit->row < LastSpectralRow) {
        result.wavelength = keyAt(*hit);
        result.Pc = result.Pe * yAt(*hit) / y;
        return result;
    }
    // On the line of purples: name the wavelength opposite the white point.
    const auto opposite = crossLocus(-dx, -dy, 0, LastSpectralRow);
    if (opposite)
        result.wavelength = keyAt(*opposite);
    result.Pc = -result.Pe * yAt(*hit) / y;
    return result;
}

Measurement measure(const Light& light)
{
    Measurement m;
    m.Tcp = light.tcp;
    m.duv = light.duv;
    m.Ev = light.ev;

    double u0 = 0;
    double v0 = 0;
    planck(light.tcp, u0, v0);
    double u1 = 0;
    double v1 = 0;
    planck(light.tcp + 1.0, u1, v1);
    // Unit normal to the locus, pointing to larger v (positive delta-uv lies above the locus).
    double nu = -(v1 - v0);
    double nv = u1 - u0;
    const double norm = std::hypot(nu, nv);
    nu /= norm;
    nv /= norm;
    if (nv < 0) {
        nu = -nu;
        nv = -nv;
    }
    const double u = u0 + light.duv * nu;
    const double v = v0 + light.duv * nv;

    const double d = 2.0 * u - 8.0 * v + 4.0;
    m.x = 3.0 * u / d;
    m.y = 2.0 * v / d;
    m.u = u;
    m.v = 1.5 * v;

    m.Y = light.ev;
    m.X = m.x / m.y * m.Y;
    m.Z = (1.0 - m.x - m.y) / m.y * m.Y;

    const auto dominant = dominantWavelength(m.x, m.y);
    m.wavelength = dominant.wavelength;
    m.Pe = dominant.Pe;
    m.Pc = dominant.Pc;
    return m;
}

} // namespace virtualmeter
