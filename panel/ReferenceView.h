#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace panel {

// What opening the Ev-x-y or Ev-u'-v' reference view writes into its digit boxes. Positions are
// in twips (1/1440 inch) as the view's layout counts them.
struct ReferenceViewFill
{
    QString caption;               // "Ev (lx)" or "Ev (fc)"
    int digit2Left = 0;            // left edge of Ev digit box 2
    int markerLeft = 0;            // left edge of the Ev decimal-point marker
    std::array<QString, 4> ev;     // Ev digit boxes 0..3
    std::array<QString, 4> first;  // x (or u') digit boxes
    std::array<QString, 4> second; // y (or v') digit boxes
};

// unitText is the text of the reference unit list; anything but "lx" counts as fc. The
// chromaticity boxes take the four characters after a leading "0.".
ReferenceViewFill FillReferenceView(const QString& unitText, const QString& illuminanceText,
                                    const QString& firstText, const QString& secondText);

inline constexpr int TwipsPerPixel = 15; // at 96 dots per inch

// One front-panel key: its button, caption and the key code the meter's own key sends.
struct PanelKey
{
    const char* name;
    const char* caption;
    std::uint8_t code;
};

extern const std::array<PanelKey, 11> PanelKeys;

} // namespace panel
