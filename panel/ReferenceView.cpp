#include "panel/ReferenceView.h"

#include "link/MeterCommands.h"
#include "ui/TextValue.h"

namespace panel {

namespace {

// Character pos (1-based) of text, empty past its end.
QString CharAt(const QString& text, int pos)
{
    return pos >= 1 && pos <= text.size() ? QString(text[pos - 1]) : QString();
}

} // namespace

ReferenceViewFill FillReferenceView(const QString& unitText, const QString& illuminanceText,
                                    const QString& firstText, const QString& secondText)
{
    ReferenceViewFill fill;
    // The display texts carry the user's separator; read them back with the point.
    QString illuminance = illuminanceText;
    illuminance.replace(QLatin1Char(','), QLatin1Char('.'));
    double e = ui::NumericValue(illuminance);
    if (unitText == QLatin1String("lx")) {
        fill.caption = QStringLiteral("Ev (lx)");
        fill.digit2Left = 1560;
        fill.markerLeft = 2280;
        e *= 10;
    } else {
        fill.caption = QStringLiteral("Ev (fc)");
        fill.digit2Left = 1800;
        fill.markerLeft = 1560;
        e *= 100;
    }
    const QString digits = ui::NumberText(e);
    for (int i = 0; i < 4; ++i) {
        const auto at = static_cast<std::size_t>(i);
        fill.ev[at] = CharAt(digits, i + 1);
        fill.first[at] = CharAt(firstText, i + 3);
        fill.second[at] = CharAt(secondText, i + 3);
    }
    return fill;
}

namespace key = meterlink::meter::key;

const std::array<PanelKey, 11> PanelKeys{{
    {"CmdMode", "Mode", key::Mode},
    {"CmdH", "H", key::Hold},
    {"CmdDelta", "Delta", key::Delta},
    {"CmdTcp", "TCP", key::Tcp},
    {"CmdTime", "Time", key::Time},
    {"CmdCF", "CF", key::CF},
    {"CmdMem", "MEM", key::Mem},
    {"CmdRead", "Read", key::Read},
    {"CmdUp", "Up", key::Up},
    {"CmdDown", "Down", key::Down},
    {"CmdPowerOff", "Off", key::PowerOff},
}};

} // namespace panel
