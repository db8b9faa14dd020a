#include "panel/FrontPanel.h"

#include "panel/ReferenceView.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace panel {

namespace {

// A tick rewrites the whole display; skipping unchanged controls keeps it cheap.
void SetText(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

void SetShown(QWidget* widget, bool shown)
{
    if (widget->isHidden() == shown)
        widget->setVisible(shown);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const char* role)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setProperty("role", QLatin1String(role));
    return label;
}

const char* const LcdStyle = R"(
QFrame#Lcd { background: #1c2621; border: 3px solid #0d1310; border-radius: 10px; }
QFrame#Lcd QLabel { color: #c9f2d0; background: transparent; }
QFrame#Lcd QLabel[role="value"] { font-family: monospace; font-size: 34px; font-weight: bold; }
QFrame#Lcd QLabel[role="legend"] { font-size: 16px; font-style: italic; }
QFrame#Lcd QLabel[role="symbol"] { font-size: 18px; font-weight: bold; }
QFrame#Lcd QLabel[role="indicator"] { font-size: 11px; font-weight: bold; border: 1px solid #c9f2d0;
                           border-radius: 3px; padding: 0 3px; }
QFrame#Lcd QLabel[role="small"] { font-family: monospace; font-size: 15px; }
QFrame#Lcd QLabel#LblUnit, QFrame#Lcd QLabel#LblKnm { padding-left: 6px; }
QFrame#Lcd QLabel[role="battery"] { background: #c9f2d0; min-width: 6px; max-width: 6px;
                                   min-height: 12px; max-height: 12px; }
QFrame#Lcd QLabel:disabled { color: #58695d; border-color: #58695d; }
QFrame#Lcd QLabel[role="battery"]:disabled { background: #58695d; }
QFrame#PicSet { background: #1c2621; border: 2px solid #c9f2d0; border-radius: 6px; }
QFrame#Lcd QFrame#PicSet QLabel { font-size: 28px; font-weight: bold; }
)";

const char* const BodyStyle = R"(
QFrame#MeterBody { background: #3a3f44; border-radius: 14px; }
QFrame#MeterBody QPushButton { background: #5b6167; color: white; border: 1px solid #23272b;
                               border-radius: 6px; padding: 6px 4px; min-width: 52px; }
QFrame#MeterBody QPushButton:pressed { background: #7c848b; }
QFrame#MeterBody QPushButton#CmdPowerOff { background: #8c2f2f; }
QFrame#Summary QLabel[role="summaryValue"] { font-family: monospace; }
)";

} // namespace

FrontPanel::FrontPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("FrontPanel"));
    auto* layout = new QHBoxLayout(this);
    auto* body = new QFrame(this);
    body->setObjectName(QStringLiteral("MeterBody"));
    body->setStyleSheet(QLatin1String(BodyStyle) + QLatin1String(LcdStyle));
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(16, 16, 16, 16);
    bodyLayout->setSpacing(14);
    bodyLayout->addWidget(buildLcd());
    bodyLayout->addWidget(buildKeys());
    layout->addWidget(body);
    layout->addWidget(buildSummary(), 0, Qt::AlignTop);
}

QWidget* FrontPanel::buildLcd()
{
    auto* lcd = new QFrame(this);
    lcd->setObjectName(QStringLiteral("Lcd"));
    m_lcd = lcd;
    auto* grid = new QGridLayout(lcd);
    grid->setContentsMargins(12, 8, 12, 8);
    grid->setHorizontalSpacing(6);

    // Top row: indicators and the battery gauge.
    auto* top = new QHBoxLayout;
    m_memoryMark = MakeLabel(lcd, "LblM", QStringLiteral("M"), "indicator");
    m_autoMark = MakeLabel(lcd, "LblA", QStringLiteral("A"), "indicator");
    m_sdMark = MakeLabel(lcd, "LblSD", QStringLiteral("SD"), "indicator");
    m_recordMark = MakeLabel(lcd, "LblR", QStringLiteral("R"), "indicator");
    m_intervalMark = MakeLabel(lcd, "LblIntv", QStringLiteral("INTV"), "indicator");
    m_cfMark = MakeLabel(lcd, "LblCF", QStringLiteral("CF"), "indicator");
    m_holdMark = MakeLabel(lcd, "LblH", QStringLiteral("H"), "indicator");
    m_referenceMark = MakeLabel(lcd, "LblRef", QStringLiteral("REF"), "indicator");
    for (QLabel* indicator : {m_memoryMark, m_autoMark, m_sdMark, m_recordMark, m_intervalMark,
                              m_cfMark, m_holdMark, m_referenceMark}) {
        top->addWidget(indicator);
        indicator->hide();
    }
    top->addStretch();
    auto* gauge = new QHBoxLayout;
    gauge->setSpacing(2);
    for (int i = 0; i < BatterySegments; ++i) {
        QLabel* segment = MakeLabel(lcd, "", QString(), "battery");
        segment->setObjectName(QStringLiteral("ImgBt(%1)").arg(i));
        m_battery[static_cast<std::size_t>(i)] = segment;
        gauge->addWidget(segment);
    }
    top->addLayout(gauge);
    grid->addLayout(top, 0, 0, 1, 5);

    // Three value lines: symbols, legend, value, unit.
    const std::array<const char*, 3> valueNames{"VX", "VY", "VZ"};
    const std::array<const char*, 3> legendNames{"LblFX", "LblFY", "LblFZ"};
    m_deltaTop = MakeLabel(lcd, "ImaDeltaX", QStringLiteral("\u0394"), "symbol");
    m_wavelengthSign = MakeLabel(lcd, "ImaLenda", QStringLiteral("\u03bb"), "symbol");
    m_deltaMiddle = MakeLabel(lcd, "ImaDeltaY", QStringLiteral("\u0394"), "symbol");
    m_deltaBottom = MakeLabel(lcd, "ImaDeltaZ", QStringLiteral("\u0394"), "symbol");
    m_secondDeltaBottom = MakeLabel(lcd, "ImaDeltaZZ", QStringLiteral("\u0394"), "symbol");
    const std::array<std::array<QLabel*, 2>, 3> symbols{{{m_deltaTop, nullptr},
                                                         {m_wavelengthSign, m_deltaMiddle},
                                                         {m_deltaBottom, m_secondDeltaBottom}}};
    for (std::size_t i = 0; i < 3; ++i) {
        const int row = static_cast<int>(i) + 1;
        auto* symbolBox = new QHBoxLayout;
        symbolBox->setSpacing(0);
        for (QLabel* symbol : symbols[i]) {
            if (symbol != nullptr) {
                symbolBox->addWidget(symbol);
                symbol->hide();
            }
        }
        grid->addLayout(symbolBox, row, 0, Qt::AlignRight);
        m_legends[i] = MakeLabel(lcd, legendNames[i], QString(), "legend");
        m_legends[i]->setMinimumWidth(36);
        grid->addWidget(m_legends[i], row, 1);
        m_values[i] = MakeLabel(lcd, valueNames[i], QString(), "value");
        m_values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_values[i]->setMinimumWidth(150);
        grid->addWidget(m_values[i], row, 2);
    }
    m_unit = MakeLabel(lcd, "LblUnit", QString(), "small");
    m_middleUnit = MakeLabel(lcd, "LblKnm", QString(), "small");
    m_unit->setMinimumWidth(26);
    grid->addWidget(m_unit, 1, 3);
    grid->addWidget(m_middleUnit, 2, 3);

    // Bottom row: memory count and clock.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(MakeLabel(lcd, "LblMemCaption", QStringLiteral("MEM"), "indicator"));
    m_memoryCount = MakeLabel(lcd, "LblMemCnt", QString(), "small");
    bottom->addWidget(m_memoryCount);
    bottom->addStretch();
    m_clock = MakeLabel(lcd, "LblTime", QString(), "small");
    bottom->addWidget(m_clock);
    grid->addLayout(bottom, 4, 0, 1, 5);

    // Covers the value lines while the meter shows its own set-up menu.
    m_picSet = new QFrame(lcd);
    m_picSet->setObjectName(QStringLiteral("PicSet"));
    auto* setLayout = new QVBoxLayout(m_picSet);
    auto* setCaption = new QLabel(QStringLiteral("SET UP"), m_picSet);
    setCaption->setAlignment(Qt::AlignCenter);
    setLayout->addWidget(setCaption);
    grid->addWidget(m_picSet, 1, 0, 3, 5);
    m_picSet->hide();
    return lcd;
}

QWidget* FrontPanel::buildKeys()
{
    auto* keys = new QWidget(this);
    auto* grid = new QGridLayout(keys);
    grid->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < PanelKeys.size(); ++i) {
        auto* button = new QPushButton(QLatin1String(PanelKeys[i].caption), keys);
        button->setObjectName(QLatin1String(PanelKeys[i].name));
        button->setFocusPolicy(Qt::NoFocus);
        m_keys[i] = button;
    }
    m_setupKey = new QPushButton(QStringLiteral("Setup"), keys);
    m_setupKey->setObjectName(QStringLiteral("Command12"));
    m_setupKey->setFocusPolicy(Qt::NoFocus);

    // The meter's key field: measuring keys on top, memory and arrows below, power last.
    const std::array<std::array<QPushButton*, 4>, 3> rows{{
        {m_keys[0], m_keys[1], m_keys[2], m_keys[3]},
        {m_keys[4], m_keys[5], m_keys[6], m_keys[7]},
        {m_keys[8], m_keys[9], m_setupKey, m_keys[10]},
    }};
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            grid->addWidget(rows[r][c], static_cast<int>(r), static_cast<int>(c));
    return keys;
}

QWidget* FrontPanel::buildSummary()
{
    auto* summary = new QFrame(this);
    summary->setObjectName(QStringLiteral("Summary"));
    summary->setFrameShape(QFrame::StyledPanel);
    m_summaryArea = summary;
    auto* form = new QFormLayout(summary);
    const std::array<const char*, 15> captions{
        "X",  "Y",  "Z",       "Ev",      "Ev max", "Ev min", "x", "y", "u'", "v'", "\u03bbd (nm)",
        "Pe", "Pc", "Tcp (K)", "\u0394uv"};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        m_summary[i] = MakeLabel(summary, SummaryLabelNames[i], QString(), "summaryValue");
        m_summary[i]->setMinimumWidth(70);
        form->addRow(QString::fromUtf8(captions[i]), m_summary[i]);
    }
    return summary;
}

void FrontPanel::setStale(bool stale)
{
    m_lcd->setEnabled(!stale);
    m_summaryArea->setEnabled(!stale);
}

void FrontPanel::apply(const DisplayState& d)
{
    for (std::size_t i = 0; i < m_battery.size(); ++i)
        SetShown(m_battery[i], d.batteryShown[i]);
    SetShown(m_memoryMark, d.memoryMark);
    SetShown(m_autoMark, d.autoMark);
    SetShown(m_sdMark, d.sdMark);
    SetShown(m_recordMark, d.recordMark);
    SetShown(m_intervalMark, d.intervalMark);
    SetText(m_clock, d.clock);
    SetText(m_memoryCount, d.memoryCount);
    SetShown(m_cfMark, d.cfMark);
    SetShown(m_holdMark, d.holdMark);
    SetText(m_unit, d.unit);

    SetShown(m_wavelengthSign, d.wavelengthSign);
    SetShown(m_deltaTop, d.deltaTop);
    SetShown(m_deltaMiddle, d.deltaMiddle);
    SetShown(m_deltaBottom, d.deltaBottom);
    SetShown(m_secondDeltaBottom, d.secondDeltaBottom);
    SetShown(m_referenceMark, d.referenceMark);

    // A blinking line starts shown, so that the first tick of an overload marks it.
    m_blinkShown = d.middleBlinks && !m_blinkShown;
    if (d.writeLines)
        for (std::size_t i = 0; i < 3; ++i)
            SetText(m_values[i],
                    i == 1 && d.middleBlinks && !m_blinkShown ? QString() : d.lines[i]);
    for (std::size_t i = 0; i < 3; ++i)
        SetText(m_legends[i], d.legends[i]);
    SetText(m_middleUnit, d.middleUnit);

    for (std::size_t i = 0; i < m_summary.size(); ++i)
        SetText(m_summary[i], d.summary[i]);
}

} // namespace panel
