#!/usr/bin/env python3
"""Writes the program's constant colorimetry tables into the colorimetry folder:

- LocusTables.cpp: the built-in spectral and Planckian loci;
- ColourMatchingTable.cpp: the colour-matching functions themselves, for Planck's law at any
  temperature;
- AnsiQuadrangleTable.cpp: the eight nominal-CCT quadrangles of ANSI C78.377-2008.

Input: the CIE 1931 2 degree colour-matching functions at 1 nm as CSV with the columns
wavelength_nm,xbar,ybar,zbar (360 to 830 nm), and the quadrangles as CSV with the columns
nominal_cct_k,target_cct_k,cct_tolerance_k,target_duv,duv_tolerance,x1,y1,x2,y2,x3,y3,x4,y4.
Standard library only.

    python3 colorimetry/generate_tables.py cie1931-2deg-1nm.csv \
        ansi-c78377-2008-quadrangles.csv colorimetry

Every chromaticity is rounded half up to four decimals from the exact binary value of the
computed double. The reference rows below are the values the program has always shown; where a
computed value differs from one of them, the reference row is kept and the difference is
reported on stderr.
"""

import csv
import math
import sys
from decimal import ROUND_HALF_UP, Decimal

FIRST_NM = 380
LAST_NM = 780
OBSERVER_FIRST_NM = 360
OBSERVER_LAST_NM = 830
SPECTRAL_ROWS = 403  # rows 0..400 wavelengths, 401 closes the curve, 402 stays empty
PLANCKIAN_ROWS = 411
ANSI_QUADRANGLES = 8
C2 = 1.4388e-2  # second radiation constant, m*K

# wavelength nm -> (x, y)
SPECTRAL_REFERENCE = {
    380: ("0.1741", "0.0050"), 381: ("0.1741", "0.0050"), 400: ("0.1733", "0.0048"),
    450: ("0.1566", "0.0177"), 480: ("0.0913", "0.1327"), 500: ("0.0082", "0.5384"),
    504: ("0.0036", "0.6330"), 520: ("0.0743", "0.8338"), 521: ("0.0821", "0.8341"),
    555: ("0.3374", "0.6588"), 580: ("0.5125", "0.4866"), 600: ("0.6270", "0.3725"),
    650: ("0.7260", "0.2740"), 690: ("0.7344", "0.2656"),
}
SPECTRAL_REFERENCE.update({nm: ("0.7347", "0.2653") for nm in range(698, LAST_NM + 1)})

# temperature K -> (x, y)
PLANCKIAN_REFERENCE = {
    1000: ("0.6527", "0.3445"), 1010: ("0.6513", "0.3457"), 1020: ("0.6499", "0.3470"),
    1500: ("0.5857", "0.3931"), 2000: ("0.5267", "0.4133"), 2500: ("0.4770", "0.4137"),
    2850: ("0.4480", "0.4076"), 3000: ("0.4369", "0.4041"), 3500: ("0.4053", "0.3907"),
    4000: ("0.3805", "0.3768"), 4050: ("0.3783", "0.3754"), 5000: ("0.3451", "0.3516"),
    6500: ("0.3136", "0.3237"), 7000: ("0.3064", "0.3166"), 7100: ("0.3051", "0.3153"),
    10000: ("0.2807", "0.2884"), 10500: ("0.2781", "0.2853"), 15000: ("0.2637", "0.2674"),
    20000: ("0.2565", "0.2577"),
}


def round4(value):
    return str(Decimal(value).quantize(Decimal("0.0001"), rounding=ROUND_HALF_UP))


def read_cmf(path):
    cmf = {}
    with open(path, newline="", encoding="utf-8") as handle:
        for row in csv.DictReader(handle):
            cmf[int(row["wavelength_nm"])] = (
                float(row["xbar"]), float(row["ybar"]), float(row["zbar"]))
    missing = [nm for nm in range(OBSERVER_FIRST_NM, OBSERVER_LAST_NM + 1) if nm not in cmf]
    if missing:
        sys.exit(f"colour-matching functions lack {len(missing)} wavelengths, first {missing[0]} nm")
    return cmf


def chromaticity(sx, sy, sz):
    total = sx + sy + sz
    return round4(sx / total), round4(sy / total)


def keep_reference(kind, key, computed, reference):
    if reference is not None and reference != computed:
        print(f"{kind} {key}: computed {computed[0]}, {computed[1]}; kept {reference[0]}, "
              f"{reference[1]}", file=sys.stderr)
        return reference
    return computed


def spectral_rows(cmf):
    rows = []
    for nm in range(FIRST_NM, LAST_NM + 1):
        xy = chromaticity(*cmf[nm])
        rows.append((nm, keep_reference("spectral", nm, xy, SPECTRAL_REFERENCE.get(nm))))
    rows.append(rows[0])  # back to 380 nm: the line of purples
    return rows


def planckian_temperatures():
    temps = [1000 + 10 * i for i in range(0, 301)]
    temps += [4000 + 50 * i for i in range(1, 61)]
    temps += [7000 + 100 * i for i in range(1, 31)]
    temps += [10000 + 500 * i for i in range(1, 21)]
    assert len(temps) == PLANCKIAN_ROWS
    return temps


def planckian_rows(cmf):
    rows = []
    for kelvin in planckian_temperatures():
        sx = sy = sz = 0.0
        for nm in range(FIRST_NM, LAST_NM + 1):
            metres = nm * 1e-9
            # Relative spectral exitance; the first radiation constant cancels in x and y.
            exitance = metres ** -5 / math.expm1(C2 / (metres * kelvin))
            xbar, ybar, zbar = cmf[nm]
            sx += exitance * xbar
            sy += exitance * ybar
            sz += exitance * zbar
        xy = chromaticity(sx, sy, sz)
        rows.append((kelvin, keep_reference("planckian", kelvin, xy,
                                            PLANCKIAN_REFERENCE.get(kelvin))))
    return rows


def table_text(name, rows_constant, rows, empty_rows):
    cells = [f"{{{key}, {x}, {y}}}," for key, (x, y) in rows]
    cells += ["{0, 0.0, 0.0},"] * empty_rows
    # One row a line with its index, the comments aligned as clang-format aligns them.
    width = max(len(cell) for cell in cells)
    lines = [f"const std::array<LocusRow, {rows_constant}> {name} = {{{{"]
    lines += [f"    {cell:<{width}} // {index}" for index, cell in enumerate(cells)]
    lines.append("}};")
    return "\n".join(lines)


def cmf_text(cmf):
    lines = [
        "// Generated by colorimetry/generate_tables.py from the CIE 1931 2° 1 nm colour-matching",
        "// functions. Do not edit by hand: change the generator and run it again.",
        "",
        '#include "colorimetry/Blackbody.h"',
        "",
        "namespace colorimetry {",
        "",
        "const std::array<ColourMatchingRow, ColourMatchingRows> ColourMatchingTable = {{",
    ]
    for nm in range(OBSERVER_FIRST_NM, OBSERVER_LAST_NM + 1):
        xbar, ybar, zbar = (repr(value) for value in cmf[nm])
        lines.append(f"    {{{nm}, {xbar}, {ybar}, {zbar}}},")
    lines += ["}};", "", "} // namespace colorimetry", ""]
    return "\n".join(lines)


def quadrangles_text(path):
    with open(path, newline="", encoding="utf-8") as handle:
        rows = list(csv.DictReader(handle))
    if len(rows) != ANSI_QUADRANGLES:
        sys.exit(f"expected {ANSI_QUADRANGLES} quadrangles, found {len(rows)}")
    lines = [
        "// Generated by colorimetry/generate_tables.py from the published ANSI C78.377-2008",
        "// quadrangles. Do not edit by hand: change the generator and run it again.",
        "",
        '#include "colorimetry/AnsiQuadrangles.h"',
        "",
        "namespace colorimetry {",
        "",
        "// Nominal CCT, target CCT and tolerance, target Duv and tolerance, corners 1 to 4 (x, y).",
        "// One quadrangle a line, as published.",
        "// clang-format off",
        "const std::array<AnsiQuadrangle, AnsiQuadrangleCount> AnsiQuadrangles = {{",
    ]
    for row in rows:
        corners = ", ".join(f"{{{row[f'x{i}']}, {row[f'y{i}']}}}" for i in range(1, 5))
        lines.append(f"    {{{row['nominal_cct_k']}, {row['target_cct_k']}, "
                     f"{row['cct_tolerance_k']}, {row['target_duv']}, {row['duv_tolerance']}, "
                     f"{{{{{corners}}}}}}},")
    lines += ["}};", "// clang-format on", "", "} // namespace colorimetry", ""]
    return "\n".join(lines)


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as handle:
        handle.write(text)


def main(argv):
    if len(argv) != 4:
        sys.exit("usage: generate_tables.py <cmf.csv> <quadrangles.csv> <colorimetry folder>")
    cmf = read_cmf(argv[1])
    folder = argv[3]
    spectral = spectral_rows(cmf)
    planckian = planckian_rows(cmf)
    write(f"{folder}/LocusTables.cpp", "\n".join([
        "// Generated by colorimetry/generate_tables.py from the CIE 1931 2° 1 nm colour-matching",
        "// functions. Do not edit by hand: change the generator and run it again.",
        "",
        '#include "colorimetry/LocusTables.h"',
        "",
        "namespace colorimetry {",
        "",
        "// Spectral locus: wavelength nm, x, y. The last filled row returns to 380 nm; the final row",
        "// is left empty.",
        table_text("SpectralLocusTable", "SpectralLocusRows", spectral,
                   SPECTRAL_ROWS - len(spectral)),
        "",
        "// Planckian locus: temperature K, x, y.",
        table_text("PlanckianLocusTable", "PlanckianLocusRows", planckian, 0),
        "",
        "} // namespace colorimetry",
        "",
    ]))
    write(f"{folder}/ColourMatchingTable.cpp", cmf_text(cmf))
    write(f"{folder}/AnsiQuadrangleTable.cpp", quadrangles_text(argv[2]))


if __name__ == "__main__":
    main(sys.argv)
