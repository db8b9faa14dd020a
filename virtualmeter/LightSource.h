#pragma once

namespace virtualmeter {

// Everything the meter works out from one measurement, in display units.
struct Measurement
{
    double X = 0, Y = 0, Z = 0; // tristimulus values, Y in lx
    double Ev = 0;              // illuminance in lx (equals Y)
    double x = 0, y = 0;        // CIE 1931 chromaticity
    double u = 0, v = 0;        // CIE 1976 u', v'
    double wavelength = 0;      // dominant wavelength in nm (complementary one for purples)
    double Pe = 0;              // excitation purity
    double Pc = 0;              // colorimetric purity; negative for a complementary wavelength
    double Tcp = 0;             // correlated colour temperature in K
    double duv = 0;             // distance from the Planckian locus in CIE 1960 u, v
};

// The lamp the meter looks at: colour temperature, distance from the locus, illuminance.
struct Light
{
    double tcp = 5000;
    double duv = 0;
    double ev = 500;
};

// A slowly drifting lamp, a few hundred lx between about 4000 K and 6500 K; seconds since the
// epoch of whatever clock drives it.
Light driftingLight(double seconds);

// A light near the Planckian locus as the meter would measure it: x, y from the locus point of
// tcp moved by duv along the locus normal, X, Y, Z from Ev = Y, then u'v', dominant wavelength
// and purities.
Measurement measure(const Light& light);

// Dominant wavelength and purities of x, y against the equal-energy white point. Purples have
// no dominant wavelength: their complementary wavelength is given and Pc is negative.
struct Dominant
{
    double wavelength = 0;
    double Pe = 0;
    double Pc = 0;
};
Dominant dominantWavelength(double x, double y);

} // namespace virtualmeter
