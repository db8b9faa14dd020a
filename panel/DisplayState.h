#pragma once

#include "link/MeasurementFrame.h"

#include <QChar>
#include <QString>
#include <array>
#include <cstdint>

namespace panel {

// delta-u'v' from the raw u', v' differences: the root's text is cut to five characters and
// read back, as the meter does, then scaled by 1/10000 and shown with four decimals.
QString DeltaUvText(int du, int dv, QChar sep);
// One page of the meter clock; any page but 0, 1, 2 leaves the field empty.
QString ClockText(const meterlink::FrameFields& f);

inline constexpr int BatterySegments = 6;

// Everything the live display shows for one frame; the window copies it into its controls.
struct DisplayState
{
    std::array<bool, BatterySegments> batteryShown{};
    // The indicators "M", "A", "SD", "R", "INTV", "CF" and "H".
    bool memoryMark = false, autoMark = false, sdMark = false, recordMark = false;
    bool intervalMark = false, cfMark = false, holdMark = false;
    QString memoryCount; // two digits, or "FU" while the memory is full
    QString clock;       // the page of the meter clock the meter shows
    QString unit;
    // The symbols before the legends: the wavelength sign before the middle one, a difference
    // sign before each line and a second one before the bottom line; and "REF".
    bool wavelengthSign = false, deltaTop = false, deltaMiddle = false, deltaBottom = false;
    bool secondDeltaBottom = false;
    bool referenceMark = false;
    // The three value lines; when writeLines is false (unknown mode) they keep their text.
    bool writeLines = true;
    std::array<QString, 3> lines;
    // The middle line alternates tick by tick between its text and empty (the maximum's
    // overload in the max/min mode).
    bool middleBlinks = false;
    std::array<QString, 3> legends;
    QString middleUnit; // "k" after a temperature, "nm" after a wavelength
    // In the order of SummaryLabelNames.
    std::array<QString, 15> summary;
};

inline constexpr std::array<const char*, 15> SummaryLabelNames{
    "LblX",   "LblY",   "LblZ",         "LblEvlxfc", "LblEvMx", "LblEvMn", "LblEvX",    "LblEvY",
    "LblEvu", "LblEvv", "LblEvLendacd", "LblEvPe",   "LblEvPc", "LblTCP",  "LblDeltauv"};

DisplayState ComputeDisplay(const meterlink::FrameFields& f, QChar sep = QLatin1Char('.'));

// The reference texts the reference views take their digits from, as the live display formats
// them: the reference illuminance by the illuminance rule, x and y with 4 decimals, u' and v'
// with 3.
struct ReferenceTexts
{
    QString illuminance, x, y, u, v;
};

ReferenceTexts ComputeReferenceTexts(const meterlink::FrameFields& f, QChar sep = QLatin1Char('.'));

} // namespace panel
