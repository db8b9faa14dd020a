#pragma once

#include "files/RecordLine.h"
#include "panel/MeasurementFrame.h"

#include <QChar>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace panel {

// How illuminance quantities are shown: the unit text, and the decimals for the formatter.
struct IlluminanceRule
{
    QString unit; // "lx", "fc", or empty in the X, Y, Z modes
    bool fc = false;
    int decimals = 1;
};

IlluminanceRule IlluminanceRuleFor(int mode, bool unitFc);

// An illuminance raw value (lx x 10000) as text: in fc it becomes raw x 0.0929 / 10000.
QString IlluminanceText(std::uint32_t raw, const IlluminanceRule& rule, QChar sep);
// A difference of raw illuminances: (difference / 10000), then x 0.0929 in fc.
QString IlluminanceDifferenceText(std::int64_t rawDifference, const IlluminanceRule& rule,
                                  QChar sep);
// delta-u'v' from the raw u', v' differences: the root's text is cut to five characters and
// read back, as the meter does, then scaled by 1/10000 and shown with four decimals.
QString DeltaUvText(int du, int dv, QChar sep);
// One page of the meter clock; any page but 0, 1, 2 leaves the field empty.
QString ClockText(const FrameFields& f);

inline constexpr int BatterySegments = 6;
inline constexpr int LastMode = 17;

// Everything the live display shows for one frame; the window copies it into its controls.
struct DisplayState
{
    std::array<bool, BatterySegments> batteryShown{};
    bool m = false, a = false, sd = false, r = false, intv = false, cf = false, h = false;
    QString memCnt;
    QString time;
    QString unit;
    bool lenda = false, deltaX = false, deltaY = false, deltaZ = false, deltaZZ = false;
    bool ref = false;
    // The three value lines; when writeLines is false (unknown mode) they keep their text.
    bool writeLines = true;
    std::array<QString, 3> lines;
    // The middle line alternates tick by tick between its text and empty (the maximum's
    // overload in the max/min mode).
    bool middleBlinks = false;
    std::array<QString, 3> legends;
    QString knm;
    // In the order of SummaryLabelNames.
    std::array<QString, 15> summary;
};

inline constexpr std::array<const char*, 15> SummaryLabelNames{
    "LblX",   "LblY",   "LblZ",         "LblEvlxfc", "LblEvMx", "LblEvMn", "LblEvX",    "LblEvY",
    "LblEvu", "LblEvv", "LblEvLendacd", "LblEvPe",   "LblEvPc", "LblTCP",  "LblDeltauv"};

DisplayState ComputeDisplay(const FrameFields& f, QChar sep = QLatin1Char('.'));

// The reference texts the reference views take their digits from, as the live display formats
// them: the reference illuminance by the illuminance rule, x and y with 4 decimals, u' and v'
// with 3.
struct ReferenceTexts
{
    QString illuminance, x, y, u, v;
};

ReferenceTexts ComputeReferenceTexts(const FrameFields& f, QChar sep = QLatin1Char('.'));

// A reading for the recording on the PC; the date and time are left for the recorder. Nothing
// for a frame whose values the meter marks invalid: taken in its set-up menu or in overload.
std::optional<files::Reading> ReadingFromFrame(const FrameFields& f);

} // namespace panel
